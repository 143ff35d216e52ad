#pragma once
// A sensor module stand-in on 127.0.0.1 for the data query tests: a thread that answers
// each request it receives with the replies a script gives for it.
#include <arpa/inet.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/loopback_socket.h"

namespace test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

using Replies = std::vector<Bytes>;

// Replies to request number k (counted from 0); none = stay silent.
using ReplyScript = std::function<Replies(int k, const Bytes& request)>;

// tcp_half_closed: the module shuts its sending side right after accepting.
enum class Transport { udp, tcp, tcp_half_closed };

class LoopbackModule {
 public:
  // port 0 lets the kernel choose; port() is 0 when the port asked for cannot be bound.
  LoopbackModule(Transport transport, ReplyScript script, std::uint16_t port = 0)
      : transport_(transport), script_(std::move(script)) {
    socket_ = loopback_socket(transport == Transport::udp ? SOCK_DGRAM : SOCK_STREAM, port);
    fd_ = socket_.fd();
    if (socket_.valid()) port_ = local_port(fd_);
    if (transport != Transport::udp) ::listen(fd_, 4);
    thread_ = std::thread([this] { run(); });
  }
  ~LoopbackModule() {
    stop_ = true;
    thread_.join();
  }
  LoopbackModule(const LoopbackModule&) = delete;
  LoopbackModule& operator=(const LoopbackModule&) = delete;

  std::uint16_t port() const { return port_; }
  Replies requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 20) > 0;
  }

  Replies answer(const Bytes& request) {
    int k;
    {
      std::lock_guard lock(mutex_);
      k = static_cast<int>(requests_.size());
      requests_.push_back(request);
    }
    return script_(k, request);
  }

  void run() {
    int connection = -1;
    std::uint8_t buffer[512];
    while (!stop_) {
      if (transport_ == Transport::udp) {
        if (!readable(fd_)) continue;
        sockaddr_in source{};
        socklen_t length = sizeof source;
        ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&source), &length);
        if (n < 0) continue;
        for (const Bytes& reply : answer(Bytes(buffer, buffer + n))) {
          ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&source), length);
        }
      } else if (connection < 0) {
        if (!readable(fd_)) continue;
        connection = ::accept(fd_, nullptr, nullptr);
        if (transport_ == Transport::tcp_half_closed) ::shutdown(connection, SHUT_WR);
      } else {
        if (!readable(connection)) continue;
        ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
          ::close(connection);
          connection = -1;
          continue;
        }
        for (const Bytes& reply : answer(Bytes(buffer, buffer + n))) {
          ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
      }
    }
    if (connection >= 0) ::close(connection);
  }

  Transport transport_;
  ReplyScript script_;
  platform::SocketHandle socket_;
  int fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  Replies requests_;
  std::thread thread_;
};

}  // namespace test
