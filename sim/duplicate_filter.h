#pragma once
// A broadcast query can reach a module twice: through its UDP socket and through its
// broadcast listener. Each copy seen on one path cancels one copy seen on the other, so
// every query is answered once, also when the same query is repeated quickly.
#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "sockets.h"

namespace sim {

class DuplicateFilter {
 public:
  enum class Path { socket, listener };
  using Clock = std::chrono::steady_clock;

  // True when the copy is to be answered; false when it is the other path's copy of a
  // datagram already answered.
  bool admit(Path path, const ReceivedDatagram& datagram, Clock::time_point now);

 private:
  struct Seen {
    Path path;
    Endpoint source;
    Ipv4 destination;
    std::vector<std::uint8_t> payload;
    Clock::time_point when;
  };
  std::deque<Seen> unmatched_;
};

}  // namespace sim
