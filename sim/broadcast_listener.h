#pragma once
// Sees what a real embedded stack sees: every Ethernet broadcast frame carrying a UDP datagram
// to one port, whatever its IP destination (also the directed broadcast of a subnet that the
// module's own kernel would drop). Reads through an AF_PACKET socket with a kernel filter.
#include <optional>
#include <string>

#include "fd_handle.h"
#include "sockets.h"

namespace sim {

class BroadcastListener {
 public:
  // Listens on the interface that holds `local_address`, or on every interface for 0.0.0.0.
  // Returns an empty string, or what failed.
  std::string open(const Ipv4& local_address, std::uint16_t udp_port);
  int fd() const { return fd_.get(); }
  // Reads one frame: a datagram when it was a broadcast frame with UDP to the port.
  std::optional<ReceivedDatagram> read();

 private:
  FdHandle fd_;
};

}  // namespace sim
