#pragma once
// Socket helpers of the emulator: non-blocking IPv4 sockets bound to the module's address,
// datagram receive with the header's destination address, and errno texts for messages.
#include <netinet/in.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fd_handle.h"
#include "module_config.h"

namespace sim {

struct Endpoint {
  Ipv4 address{};
  std::uint16_t port = 0;
};

sockaddr_in to_sockaddr(const Endpoint& endpoint);
Endpoint from_sockaddr(const sockaddr_in& address);
std::string to_text(const Ipv4& address);

// Empty FdHandle on failure, with "what: errno text" in error.
FdHandle open_udp_socket(const Endpoint& local, std::string& error);
FdHandle open_tcp_listener(const Endpoint& local, std::string& error);

struct ReceivedDatagram {
  Endpoint source;
  Ipv4 destination{};  // as in the IP header: tells a broadcast from a unicast
  std::vector<std::uint8_t> payload;
};

// One datagram from a socket made by open_udp_socket; false when nothing could be read.
bool receive_datagram(int fd, ReceivedDatagram& out);
void send_datagram(int fd, const Endpoint& destination, std::span<const std::uint8_t> bytes);

}  // namespace sim
