#pragma once
// IPv4 datagram sockets: open, broadcast, send to an address, receive with the sender.
#include <cstdint>
#include <span>

#include "platform/ipv4_address.h"
#include "platform/socket_handle.h"

namespace platform {

SocketHandle open_udp_socket();
bool enable_broadcast(int fd);
// Binds to a local address and port (0 lets the kernel choose).
bool bind_ipv4(int fd, Ipv4Address ip, std::uint16_t port);

// Returns the number of bytes sent or -1.
int send_datagram(int fd, Ipv4Address ip, std::uint16_t port, std::span<const std::uint8_t> bytes);

struct Datagram {
  int length = 0;                      // full length of the datagram, even when longer than the buffer
  Ipv4Address source_ip;
  std::uint16_t source_port = 0;
  // The address the datagram was sent to (a local address or a broadcast);
  // 0.0.0.0 unless enable_destination_info was set on the socket.
  Ipv4Address destination_ip;
};

// Asks the kernel to tell each received datagram's destination address (IP_PKTINFO).
bool enable_destination_info(int fd);

// Receives one datagram into buffer; -1 on error. A datagram longer than the buffer
// reports its real length, so callers that check lengths never mistake it for a shorter one.
int receive_datagram(int fd, std::span<std::uint8_t> buffer, Datagram& info);

}  // namespace platform
