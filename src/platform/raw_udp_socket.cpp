#include "platform/raw_udp_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

namespace platform {

RawUdpOpening open_raw_udp_socket(std::uint32_t local_ip_network) {
  RawUdpOpening opening;
  opening.socket = SocketHandle(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP));
  if (!opening.socket.valid()) {
    opening.error_number = errno;
    opening.status = errno == EPERM || errno == EACCES ? raw_udp_not_permitted : raw_udp_create_failed;
    return opening;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = local_ip_network;
  if (::bind(opening.socket.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    opening.error_number = errno;
    opening.status = raw_udp_bind_failed;
    opening.socket.reset();
    return opening;
  }
  opening.status = 0;
  return opening;
}

}  // namespace platform
