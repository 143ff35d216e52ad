#include "sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {
namespace {

std::string failure(const char* step, const Endpoint& local) {
  return std::string(step) + " " + to_text(local.address) + ":" + std::to_string(local.port) + ": " +
         std::strerror(errno);
}

FdHandle open_bound_socket(int type, const Endpoint& local, std::string& error) {
  FdHandle fd(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.valid()) {
    error = failure("socket", local);
    return {};
  }
  // A listener restarts over its old connections; two UDP sockets on one port would be an error.
  const int on = 1;
  if (type == SOCK_STREAM) ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const sockaddr_in address = to_sockaddr(local);
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error = failure("bind", local);
    return {};
  }
  return fd;
}

}  // namespace

sockaddr_in to_sockaddr(const Endpoint& e) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(e.port);
  std::memcpy(&a.sin_addr.s_addr, e.address.data(), 4);  // both in network order
  return a;
}

Endpoint from_sockaddr(const sockaddr_in& a) {
  Endpoint e;
  std::memcpy(e.address.data(), &a.sin_addr.s_addr, 4);
  e.port = ntohs(a.sin_port);
  return e;
}

std::string to_text(const Ipv4& a) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
  return text;
}

FdHandle open_udp_socket(const Endpoint& local, std::string& error) {
  FdHandle fd = open_bound_socket(SOCK_DGRAM, local, error);
  const int on = 1;
  if (fd.valid() && ::setsockopt(fd.get(), IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
    error = failure("IP_PKTINFO", local);
    return {};
  }
  return fd;
}

FdHandle open_tcp_listener(const Endpoint& local, std::string& error) {
  FdHandle fd = open_bound_socket(SOCK_STREAM, local, error);
  if (fd.valid() && ::listen(fd.get(), 16) != 0) {
    error = failure("listen", local);
    return {};
  }
  return fd;
}

bool receive_datagram(int fd, ReceivedDatagram& out) {
  std::uint8_t buffer[2048];
  sockaddr_in source{};
  alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(in_pktinfo))];
  iovec io{buffer, sizeof buffer};
  msghdr message{};
  message.msg_name = &source;
  message.msg_namelen = sizeof source;
  message.msg_iov = &io;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  const ssize_t n = ::recvmsg(fd, &message, 0);
  if (n < 0) return false;
  out.source = from_sockaddr(source);
  out.destination = {};
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
      in_pktinfo info{};
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      std::memcpy(out.destination.data(), &info.ipi_addr.s_addr, 4);
    }
  }
  out.payload.assign(buffer, buffer + n);
  return true;
}

void send_datagram(int fd, const Endpoint& destination, std::span<const std::uint8_t> bytes) {
  const sockaddr_in to = to_sockaddr(destination);
  if (::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
    std::fprintf(stderr, "module-emulator: sendto %s:%u: %s\n", to_text(destination.address).c_str(),
                 destination.port, std::strerror(errno));
  }
}

}  // namespace sim
