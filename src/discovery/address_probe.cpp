#include "discovery/address_probe.h"

#include <algorithm>

#include "discovery/capture_devices.h"
#include "platform/ipv4.h"

namespace discovery {
namespace {

// The stored capture device tied to adapter; -1 when there is none.
int device_of_adapter(const RawEthernet& raw, int adapter) {
  int count = std::min(static_cast<int>(raw.state.capture_devices.size()), netenv::max_capture_devices);
  for (int d = 0; d < count; ++d)
    if (raw.adapters.capture_device_adapter[static_cast<std::size_t>(d)] == adapter) return d;
  return -1;
}

// Probes target from one address entry through device; answers is the reply count of the
// last attempt. Returns 0 or an arp_probe code.
int probe_from_entry(RawEthernet& raw, int device, const netenv::AddressEntry& entry, std::uint32_t target,
                     int& answers) {
  platform::CaptureOpening opening;
  {
    platform::CaptureDeviceListing listing = raw.link.list_capture_devices();
    if (!listing.ok) return probe_list_failed;
    const platform::CaptureDevice* chosen = numbered_device(listing, device);
    if (chosen == nullptr) return probe_open_failed;
    opening = raw.link.open_capture(chosen->name, probe_read_timeout_ms);
  }
  if (opening.status != platform::OpenStatus::opened || !opening.session) return probe_open_failed;
  platform::CaptureSession& session = *opening.session;
  const auto& mac = raw.adapters.adapters[static_cast<std::size_t>(entry.adapter)].mac;
  std::uint32_t target_host = platform::network_to_host(target);
  auto request = build_arp_request(mac, platform::network_to_host(entry.ip), target_host);
  switch (session.set_filter("arp", entry.mask)) {
    case platform::FilterResult::compile_failed:
      return probe_compile_failed;
    case platform::FilterResult::set_failed:
      return probe_set_failed;
    case platform::FilterResult::installed:
      break;
  }
  for (int attempt = 0; attempt < probe_attempts; ++attempt) {
    if (!session.send_frame(request)) return probe_send_failed;
    answers = 0;
    std::span<const std::uint8_t> frame;
    while (session.next_frame(frame) == platform::NextFrame::frame)
      if (is_arp_reply_from(frame, target_host)) ++answers;
    raw.link.clock().sleep_ms(probe_pause_ms);
  }
  return 0;
}

}  // namespace

bool uses_raw_arp(bool remote_mode, int platform_family) {
  return remote_mode || platform_family == platform_family_without_os_arp;
}

int arp_probe(RawEthernet& raw, std::uint32_t ip_network) {
  const netenv::AdapterTable& adapters = raw.adapters;
  if (!adapters.capture_devices_matched) return probe_devices_unmatched;
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  for (int k = 0; k < count; ++k) {
    const netenv::AddressEntry& entry = adapters.addresses[static_cast<std::size_t>(k)];
    if (entry.ip == ip_network) {
      raw.state.probe_subnet_index = k;
      return 1;
    }
    bool adapter_known = entry.adapter >= 0 && entry.adapter < std::min(adapters.adapter_count, netenv::max_adapters);
    int device = adapter_known ? device_of_adapter(raw, entry.adapter) : -1;
    if (device < 0) return probe_no_device;
    int answers = 0;
    if (int result = probe_from_entry(raw, device, entry, ip_network, answers); result < 0) return result;
    if (answers > 0) {
      raw.state.probe_subnet_index = k;
      return 1;
    }
  }
  return 0;
}

int probe_address_in_use(RawEthernet& raw, std::uint32_t ip_network) {
  if (raw.raw_arp) return arp_probe(raw, ip_network);
  return raw.link.resolve_neighbour(ip_network, neighbour_wait_ms) ? 1 : 0;
}

}  // namespace discovery
