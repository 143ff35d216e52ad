#include "maint/repair_addresses.h"

#include "platform/ipv4.h"

namespace maint {

std::uint32_t class_mask(std::uint32_t ip_host) {
  const std::uint32_t first_octet = ip_host >> 24;
  if (first_octet < 128) return 0xFF000000u;
  if (first_octet < 192) return 0xFFFF0000u;
  if (first_octet < 224) return 0xFFFFFF00u;
  return 0;
}

std::uint32_t assignment_mask(const netenv::AddressEntry& entry) {
  const std::uint32_t own = platform::network_to_host(entry.mask);
  const std::uint32_t by_class = class_mask(platform::network_to_host(entry.ip));
  return own < by_class ? by_class : own;
}

void advance_next_host(netenv::AddressEntry& entry) {
  ++entry.next_host;
  if (entry.next_host > entry.last_host) entry.next_host = entry.first_host;
}

int find_free_address(netenv::AddressEntry& entry, const AddressInUse& in_use, std::uint32_t& candidate_network) {
  const std::uint32_t network = platform::network_to_host(entry.ip) & assignment_mask(entry);
  // A subnet of one or two addresses has no host number to give.
  if (entry.last_host < entry.first_host) return no_free_address;
  const int start = entry.next_host;
  for (;;) {
    const std::uint32_t candidate = platform::host_to_network(network + static_cast<std::uint32_t>(entry.next_host));
    const int used = in_use(candidate);
    if (used < 0) return address_probe_error;
    if (used == 0) {
      candidate_network = candidate;
      return free_address_found;
    }
    advance_next_host(entry);
    if (entry.next_host == start) return no_free_address;
  }
}

}  // namespace maint
