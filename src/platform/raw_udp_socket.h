#pragma once
// A raw IPv4 socket for protocol UDP bound to one local address: it receives every UDP
// packet for that address with its IP header. Opening needs CAP_NET_RAW.
#include <cstdint>

#include "platform/socket_handle.h"

namespace platform {

// Codes of open_raw_udp_socket.
constexpr int raw_udp_create_failed = -2;
constexpr int raw_udp_bind_failed = -4;
constexpr int raw_udp_not_permitted = -5;  // the process lacks CAP_NET_RAW

struct RawUdpOpening {
  int status = raw_udp_create_failed;  // 0 when socket is open
  int error_number = 0;                // errno of the failed step
  SocketHandle socket;
};

// Opens the socket and binds it to local_ip_network (network order), port 0. Packets are
// read with receive_ip_packet (raw_icmp_socket.h).
RawUdpOpening open_raw_udp_socket(std::uint32_t local_ip_network);

}  // namespace platform
