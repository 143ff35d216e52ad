#include "platform/udp_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

namespace {

sockaddr_in ipv4_address(std::uint32_t ip_network_order, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ip_network_order;
  address.sin_port = htons(port);
  return address;
}

}  // namespace

SocketHandle open_udp_socket() { return SocketHandle(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }

bool enable_broadcast(int fd) {
  int on = 1;
  return ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

bool bind_ipv4(int fd, std::uint32_t ip_network_order, std::uint16_t port) {
  sockaddr_in address = ipv4_address(ip_network_order, port);
  return ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

int send_datagram(int fd, std::uint32_t ip_network_order, std::uint16_t port, std::span<const std::uint8_t> bytes) {
  sockaddr_in address = ipv4_address(ip_network_order, port);
  ssize_t n = ::sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return n < 0 ? -1 : static_cast<int>(n);
}

int receive_datagram(int fd, std::span<std::uint8_t> buffer, Datagram& info) {
  sockaddr_in source{};
  socklen_t source_length = sizeof source;
  ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_TRUNC, reinterpret_cast<sockaddr*>(&source), &source_length);
  if (n < 0) return -1;
  info.length = static_cast<int>(n);
  info.source_ip_network = source.sin_addr.s_addr;
  info.source_port = ntohs(source.sin_port);
  return info.length;
}

}  // namespace platform
