#pragma once
// Sockets on 127.0.0.1 for tests that talk to themselves: bound, the port read back.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>

#include "platform/socket_handle.h"

namespace test {

inline std::uint16_t local_port(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A socket of the type bound to 127.0.0.1:port (0: a port the kernel chooses); invalid when
// the port cannot be bound.
inline platform::SocketHandle loopback_socket(int type, std::uint16_t port = 0) {
  platform::SocketHandle fd(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(fd.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fd.reset();
  return fd;
}

}  // namespace test
