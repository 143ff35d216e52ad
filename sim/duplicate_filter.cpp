#include "duplicate_filter.h"

#include <algorithm>

namespace sim {
namespace {

// Both copies of one datagram arrive within microseconds; a second is ample.
constexpr std::chrono::milliseconds pairing_window{1000};

}  // namespace

bool DuplicateFilter::admit(Path path, const ReceivedDatagram& d, Clock::time_point now) {
  while (!unmatched_.empty() && now - unmatched_.front().when > pairing_window) unmatched_.pop_front();
  const auto twin = std::find_if(unmatched_.begin(), unmatched_.end(), [&](const Seen& s) {
    return s.path != path && s.source.address == d.source.address && s.source.port == d.source.port &&
           s.destination == d.destination && s.payload == d.payload;
  });
  if (twin != unmatched_.end()) {
    unmatched_.erase(twin);
    return false;
  }
  unmatched_.push_back({path, d.source, d.destination, d.payload, now});
  return true;
}

}  // namespace sim
