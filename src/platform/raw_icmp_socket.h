#pragma once
// Raw IPv4 sockets for protocol ICMP, bound to one local address: what is sent is the
// ICMP message alone, what is received is every ICMP packet for that address with its IP
// header. Opening needs CAP_NET_RAW.
#include <cstdint>
#include <span>

#include "platform/ipv4_address.h"
#include "platform/socket_handle.h"

namespace platform {

// Codes of open_raw_ip_socket and open_raw_icmp_socket.
constexpr int raw_socket_create_failed = -2;
constexpr int raw_socket_bind_failed = -4;
constexpr int raw_socket_not_permitted = -5;  // the process lacks CAP_NET_RAW

struct RawSocketOpening {
  int status = raw_socket_create_failed;  // 0 when socket is open
  int error_number = 0;                 // errno of the failed step
  SocketHandle socket;
};

// Opens a raw socket of IP protocol `protocol` bound to local_ip,
// port 0: it receives every packet of that protocol for the address with its IP header
// (IPPROTO_UDP: every UDP packet).
RawSocketOpening open_raw_ip_socket(int protocol, Ipv4Address local_ip);
RawSocketOpening open_raw_icmp_socket(Ipv4Address local_ip);

// Sends one ICMP message to destination; false unless it went out whole.
bool send_icmp(int fd, Ipv4Address destination, std::span<const std::uint8_t> message);

// Receives one IP packet into buffer; the number of bytes stored (at most buffer.size()), or
// -1 on error.
int receive_ip_packet(int fd, std::span<std::uint8_t> buffer);

}  // namespace platform
