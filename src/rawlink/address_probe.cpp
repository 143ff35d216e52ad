#include "rawlink/address_probe.h"

#include <algorithm>

#include "rawlink/capture_devices.h"
#include "rawlink/capture_open.h"

namespace rawlink {
namespace {

// Probes target from one address entry through device; answers is the reply count of the
// last attempt. Returns 0 or an arp_probe code.
int probe_from_entry(RawEthernet& raw, const platform::CaptureDevice* device, const netenv::AddressEntry& entry,
                     platform::Ipv4Address target, int& answers) {
  OpenedCapture opened = open_filtered_capture(raw.link, device, probe_read_timeout_ms, "arp", entry.mask);
  switch (opened.step) {
    case CaptureStep::opened:
      break;
    case CaptureStep::compile_failed:
      return probe_compile_failed;
    case CaptureStep::set_failed:
      return probe_set_failed;
    case CaptureStep::permission_denied:
    case CaptureStep::no_device:
    case CaptureStep::open_failed:
    case CaptureStep::not_ethernet:  // replies are read at Ethernet offsets
      return probe_open_failed;
  }
  platform::CaptureSession& session = *opened.session;
  const auto& mac = raw.adapters.adapters[static_cast<std::size_t>(entry.adapter)].mac;
  auto request = build_arp_request(mac, entry.ip, target);
  for (int attempt = 0; attempt < probe_attempts; ++attempt) {
    if (!session.send_frame(request)) return probe_send_failed;
    answers = 0;
    std::span<const std::uint8_t> frame;
    while (session.next_frame(frame) == platform::NextFrame::frame)
      if (is_arp_reply_from(frame, target)) ++answers;
    raw.link.clock().sleep_ms(probe_pause_ms);
  }
  return 0;
}

}  // namespace

bool uses_raw_arp(bool remote_mode, int platform_family) {
  return remote_mode || platform_family == platform_family_without_os_arp;
}

int arp_probe(RawEthernet& raw, platform::Ipv4Address ip) {
  const netenv::AdapterTable& adapters = raw.adapters;
  if (!adapters.capture_devices_matched) return probe_devices_unmatched;
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  std::optional<std::optional<CaptureDevices>> devices;  // looked up once, when an entry needs a device
  for (int k = 0; k < count; ++k) {
    const netenv::AddressEntry& entry = adapters.addresses[static_cast<std::size_t>(k)];
    if (entry.ip == ip) {
      raw.state.probe_subnet_index = k;
      return 1;
    }
    bool adapter_known = entry.adapter >= 0 && entry.adapter < std::min(adapters.adapter_count, netenv::max_adapters);
    int device = adapter_known ? device_of_adapter(adapters, raw.state, entry.adapter) : -1;
    if (device < 0) return probe_no_device;
    if (!devices) devices = look_up_capture_devices(raw.link);
    if (!*devices) return probe_list_failed;
    int answers = 0;
    const platform::CaptureDevice* chosen = numbered_device(*devices, device);
    if (int result = probe_from_entry(raw, chosen, entry, ip, answers); result < 0) return result;
    if (answers > 0) {
      raw.state.probe_subnet_index = k;
      return 1;
    }
  }
  return 0;
}

int probe_address_in_use(RawEthernet& raw, platform::Ipv4Address ip) {
  if (raw.raw_arp) return arp_probe(raw, ip);
  return raw.link.resolve_neighbour(ip, neighbour_wait_ms) ? 1 : 0;
}

}  // namespace rawlink
