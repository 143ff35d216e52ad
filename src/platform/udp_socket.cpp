#include "platform/udp_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cstring>

namespace platform {

namespace {

sockaddr_in ipv4_address(Ipv4Address ip, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ip.network_order();
  address.sin_port = htons(port);
  return address;
}

}  // namespace

SocketHandle open_udp_socket() { return SocketHandle(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }

bool enable_broadcast(int fd) {
  int on = 1;
  return ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

bool bind_ipv4(int fd, Ipv4Address ip, std::uint16_t port) {
  sockaddr_in address = ipv4_address(ip, port);
  return ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

int send_datagram(int fd, Ipv4Address ip, std::uint16_t port, std::span<const std::uint8_t> bytes) {
  sockaddr_in address = ipv4_address(ip, port);
  ssize_t n = ::sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return n < 0 ? -1 : static_cast<int>(n);
}

bool enable_destination_info(int fd) {
  int on = 1;
  return ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) == 0;
}

int receive_datagram(int fd, std::span<std::uint8_t> buffer, Datagram& info) {
  sockaddr_in source{};
  iovec data{buffer.data(), buffer.size()};
  alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(in_pktinfo))];
  msghdr message{};
  message.msg_name = &source;
  message.msg_namelen = sizeof source;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  ssize_t n = ::recvmsg(fd, &message, MSG_TRUNC);
  if (n < 0) return -1;
  info.length = static_cast<int>(n);
  info.source_ip = Ipv4Address::from_network_order(source.sin_addr.s_addr);
  info.source_port = ntohs(source.sin_port);
  info.destination_ip = Ipv4Address{};
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
      in_pktinfo packet{};
      std::memcpy(&packet, CMSG_DATA(c), sizeof packet);
      info.destination_ip = Ipv4Address::from_network_order(packet.ipi_addr.s_addr);
    }
  }
  return info.length;
}

}  // namespace platform
