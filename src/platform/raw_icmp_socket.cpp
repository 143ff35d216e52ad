#include "platform/raw_icmp_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

namespace platform {

RawSocketOpening open_raw_icmp_socket(Ipv4Address local_ip) {
  return open_raw_ip_socket(IPPROTO_ICMP, local_ip);
}

RawSocketOpening open_raw_ip_socket(int protocol, Ipv4Address local_ip) {
  RawSocketOpening opening;
  opening.socket = SocketHandle(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, protocol));
  if (!opening.socket.valid()) {
    opening.error_number = errno;
    opening.status = errno == EPERM || errno == EACCES ? raw_socket_not_permitted : raw_socket_create_failed;
    return opening;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = local_ip.network_order();
  if (::bind(opening.socket.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    opening.error_number = errno;
    opening.status = raw_socket_bind_failed;
    opening.socket.reset();
    return opening;
  }
  opening.status = 0;
  return opening;
}

bool send_icmp(int fd, Ipv4Address destination_ip, std::span<const std::uint8_t> message) {
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  destination.sin_addr.s_addr = destination_ip.network_order();
  ssize_t sent = ::sendto(fd, message.data(), message.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&destination),
                          sizeof destination);
  return sent == static_cast<ssize_t>(message.size());
}

int receive_ip_packet(int fd, std::span<std::uint8_t> buffer) {
  ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
  return received < 0 ? -1 : static_cast<int>(received);
}

}  // namespace platform
