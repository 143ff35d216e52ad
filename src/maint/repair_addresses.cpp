#include "maint/repair_addresses.h"

#include <algorithm>

namespace maint {

platform::Ipv4Address assignment_mask(const netenv::AddressEntry& entry) {
  return std::max(entry.mask, platform::class_mask(entry.ip));
}

void advance_next_host(netenv::AddressEntry& entry) {
  ++entry.next_host;
  if (entry.next_host > entry.last_host) entry.next_host = entry.first_host;
}

int find_free_address(netenv::AddressEntry& entry, const AddressInUse& in_use, platform::Ipv4Address& candidate) {
  const platform::Ipv4Address network = entry.ip & assignment_mask(entry);
  // A subnet of one or two addresses has no host number to give.
  if (entry.last_host < entry.first_host) return no_free_address;
  const int start = entry.next_host;
  for (;;) {
    const platform::Ipv4Address next = network.plus(static_cast<std::uint32_t>(entry.next_host));
    const int used = in_use(next);
    if (used < 0) return address_probe_error;
    if (used == 0) {
      candidate = next;
      return free_address_found;
    }
    advance_next_host(entry);
    if (entry.next_host == start) return no_free_address;
  }
}

}  // namespace maint
