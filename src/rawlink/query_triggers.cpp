#include "rawlink/query_triggers.h"

#include <algorithm>

#include "rawlink/address_probe.h"
#include "rawlink/capture_devices.h"

namespace rawlink {
namespace {

constexpr std::uint32_t host_253 = 253;
// The search needs the PC's own ARP request on the wire, not its answer.
constexpr int trigger_resolution_wait_ms = 0;

}  // namespace

int trigger_queries(RawEthernet& raw, QueryKind kind) {
  const netenv::AdapterTable& adapters = raw.adapters;
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  for (int k = 0; k < count; ++k) {
    const netenv::AddressEntry& entry = adapters.addresses[static_cast<std::size_t>(k)];
    const platform::Ipv4Address resolved = entry.network().plus(host_253);
    // Only the request on the wire matters here, so whether anything answered does not.
    if (raw.raw_arp)
      arp_probe(raw, resolved);
    else
      raw.link.resolve_neighbour(resolved, trigger_resolution_wait_ms);
    bool first_of_adapter = k == 0 || entry.adapter != adapters.addresses[static_cast<std::size_t>(k - 1)].adapter;
    if (first_of_adapter && !raw.link.send_query(entry.broadcast(), kind)) return trigger_send_failed;
  }
  return 0;
}

int trigger_device_queries(RawEthernet& raw, int device, QueryKind kind) {
  int adapter = device_adapter(raw.adapters, device);
  if (adapter == netenv::unknown_adapter) return 0;
  int k = first_entry_of_adapter(raw.adapters, adapter);
  if (k == std::clamp(raw.adapters.address_count, 0, netenv::max_address_entries)) return 0;
  const netenv::AddressEntry& entry = raw.adapters.addresses[static_cast<std::size_t>(k)];
  return raw.link.send_query(entry.broadcast(), kind) ? 0 : trigger_send_failed;
}

}  // namespace rawlink
