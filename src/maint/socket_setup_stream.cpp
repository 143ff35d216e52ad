#include "maint/socket_setup_stream.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "maint/setup_connection.h"
#include "platform/timed_connect.h"

namespace maint {

namespace {

StreamWait stream_wait(platform::WaitResult result) {
  switch (result) {
    case platform::WaitResult::ready: return StreamWait::ready;
    case platform::WaitResult::timeout: return StreamWait::timeout;
    case platform::WaitResult::error:
    case platform::WaitResult::cancelled: break;
  }
  return StreamWait::error;
}

}  // namespace

int SocketSetupStream::open(platform::Ipv4Address ip) {
  socket_ = platform::SocketHandle(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket_.valid()) return setup_socket_failed;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ip.network_order();
  address.sin_port = htons(setup_port);
  if (platform::connect_within(clock_, socket_.fd(), address, platform::default_connect_wait_s, 0) !=
      platform::ConnectResult::connected) {
    socket_.reset();
    return setup_connect_failed;
  }
  return 0;
}

StreamWait SocketSetupStream::wait_writable(int timeout_us) {
  return stream_wait(clock_.wait_writable(socket_.fd(), 0, timeout_us));
}

StreamWait SocketSetupStream::wait_readable(int timeout_us) {
  return stream_wait(clock_.wait_readable(socket_.fd(), 0, timeout_us));
}

int SocketSetupStream::send(std::span<const std::uint8_t> bytes) {
  const ssize_t sent = ::send(socket_.fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
  return sent < 0 ? -1 : static_cast<int>(sent);
}

int SocketSetupStream::receive(std::span<std::uint8_t> buffer) {
  const ssize_t received = ::recv(socket_.fd(), buffer.data(), buffer.size(), MSG_DONTWAIT);
  if (received >= 0) return static_cast<int>(received);
  return errno == EWOULDBLOCK || errno == EAGAIN ? stream_would_block : -1;
}

}  // namespace maint
