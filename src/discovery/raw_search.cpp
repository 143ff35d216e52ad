#include "discovery/raw_search.h"

#include <algorithm>
#include <string>

#include "discovery/address_probe.h"
#include "discovery/capture_devices.h"
#include "discovery/discovery_datagrams.h"
#include "platform/ipv4.h"
#include "ui/texts.h"

namespace discovery {
namespace {

constexpr int pass_timeouts = 3;
constexpr std::uint32_t host_253 = 253;
// The search needs the PC's own ARP request on the wire, not its answer.
constexpr int trigger_resolution_wait_ms = 0;
constexpr std::uint32_t default_capture_netmask = 0xFFFFFF00;  // host order, for a device without an IPv4 address

std::span<const std::uint8_t> query_for(QueryKind kind) {
  return kind == QueryKind::device ? std::span<const std::uint8_t>(device_query)
                                   : std::span<const std::uint8_t>(configuration_query);
}

int entry_count(const netenv::AdapterTable& adapters) {
  return std::clamp(adapters.address_count, 0, netenv::max_address_entries);
}

int device_adapter(const netenv::AdapterTable& adapters, int device) {
  if (device < 0 || device >= netenv::max_capture_devices) return netenv::unknown_adapter;
  return adapters.capture_device_adapter[static_cast<std::size_t>(device)];
}

// First address entry of adapter; address_count when it has none.
int first_entry_of(const netenv::AdapterTable& adapters, int adapter) {
  int count = entry_count(adapters);
  for (int k = 0; k < count; ++k)
    if (adapters.addresses[static_cast<std::size_t>(k)].adapter == adapter) return k;
  return count;
}

// Once the devices are matched, each pass only wakes the modules behind its own device.
int trigger(RawEthernet& raw, int device, QueryKind kind) {
  return raw.adapters.capture_devices_matched ? trigger_device_queries(raw, device, kind) : trigger_queries(raw, kind);
}

bool listed_by_search(const ModuleTable& table, std::uint32_t ip) {
  int count = std::clamp(table.device_reply_count, 0, max_rows);
  return std::any_of(table.rows.begin(), table.rows.begin() + count, [ip](const ModuleRow& row) { return row.ip == ip; });
}

void fill_raw_row(ModuleRow& row, const ArpEntry& entry, int subnet_index) {
  row = ModuleRow{};
  row.raw_only = true;
  std::copy(module_mac_prefix.begin(), module_mac_prefix.end(), row.mac.begin());
  std::copy(entry.mac_tail.begin(), entry.mac_tail.end(), row.mac.begin() + module_mac_prefix.size());
  row.ip = entry.sender_ip;
  row.gateway = entry.target_ip;
  row.work_mode = no_mode;
  row.subnet_index = static_cast<std::uint8_t>(subnet_index);
}

// Appends a row for every captured module the search did not list, devices in order.
void add_raw_rows(RawEthernet& raw, ModuleTable& table, int device_count) {
  int row = table.found_count;
  for (int d = 0; d < device_count; ++d) {
    const DeviceArpEntries& captured = raw.state.captured[static_cast<std::size_t>(d)];
    int subnet_index = first_entry_of(raw.adapters, device_adapter(raw.adapters, d));
    for (int i = 0; i < captured.count; ++i) {
      const ArpEntry& entry = captured.entries[static_cast<std::size_t>(i)];
      if (listed_by_search(table, entry.sender_ip)) continue;
      if (row < 0 || row >= max_rows || table.shown_count < 0 || table.shown_count >= max_rows) return;
      fill_raw_row(table.rows[static_cast<std::size_t>(row)], entry, subnet_index);
      table.display_order[static_cast<std::size_t>(table.shown_count++)] = row++;
    }
  }
}

}  // namespace

int trigger_queries(RawEthernet& raw, QueryKind kind) {
  const netenv::AdapterTable& adapters = raw.adapters;
  int count = entry_count(adapters);
  for (int k = 0; k < count; ++k) {
    const netenv::AddressEntry& entry = adapters.addresses[static_cast<std::size_t>(k)];
    std::uint32_t resolved = platform::host_to_network(platform::network_to_host(entry.network()) + host_253);
    // Only the request on the wire matters here, so whether anything answered does not.
    if (raw.raw_arp)
      arp_probe(raw, resolved);
    else
      raw.link.resolve_neighbour(resolved, trigger_resolution_wait_ms);
    bool first_of_adapter = k == 0 || entry.adapter != adapters.addresses[static_cast<std::size_t>(k - 1)].adapter;
    if (first_of_adapter && !raw.link.send_query(entry.broadcast(), query_for(kind))) return trigger_send_failed;
  }
  return 0;
}

int trigger_device_queries(RawEthernet& raw, int device, QueryKind kind) {
  int adapter = device_adapter(raw.adapters, device);
  if (adapter == netenv::unknown_adapter) return 0;
  int k = first_entry_of(raw.adapters, adapter);
  if (k == entry_count(raw.adapters)) return 0;
  const netenv::AddressEntry& entry = raw.adapters.addresses[static_cast<std::size_t>(k)];
  return raw.link.send_query(entry.broadcast(), query_for(kind)) ? 0 : trigger_send_failed;
}

int capture_pass(RawEthernet& raw, int device, ui::MessageSink& messages) {
  auto fail = [&messages](const char* text, int code) {
    messages.warn(ui::texts::caption_error, text);
    return code;
  };
  platform::CaptureOpening opening;
  std::uint32_t netmask = 0;
  {
    platform::CaptureDeviceListing listing = raw.link.list_capture_devices();
    const platform::CaptureDevice* chosen = listing.ok ? numbered_device(listing, device) : nullptr;
    if (chosen != nullptr) {
      opening = raw.link.open_capture(chosen->name, search_read_timeout_ms);
      netmask = chosen->netmask;
    }
  }
  if (opening.status != platform::OpenStatus::opened || !opening.session) {
    // Without the right to capture every device fails alike, search after search.
    if (opening.status == platform::OpenStatus::permission_denied) {
      if (raw.state.capture_rights_reported) return capture_open_failed;
      raw.state.capture_rights_reported = true;
      // The operator must learn which right is missing, not only that a step failed.
      return fail((std::string(ui::texts::capture_open_failed) + ui::texts::capture_right_missing).c_str(),
                  capture_open_failed);
    }
    return fail(ui::texts::capture_open_failed, capture_open_failed);
  }
  platform::CaptureSession& session = *opening.session;
  if (!session.ethernet()) return fail(ui::texts::capture_not_ethernet, capture_not_ethernet);
  switch (session.set_filter("arp", netmask != 0 ? netmask : platform::host_to_network(default_capture_netmask))) {
    case platform::FilterResult::compile_failed:
      return fail(ui::texts::capture_filter_compile_failed, capture_compile_failed);
    case platform::FilterResult::set_failed:
      return fail(ui::texts::capture_filter_set_failed, capture_set_failed);
    case platform::FilterResult::installed:
      break;
  }

  // A failed query send only means fewer frames to see; the capture goes on.
  trigger(raw, device, QueryKind::configuration);
  DeviceArpEntries& captured = raw.state.captured[static_cast<std::size_t>(device)];
  for (int timeouts = 0;;) {
    std::span<const std::uint8_t> frame;
    switch (session.next_frame(frame)) {
      case platform::NextFrame::frame:
        record_arp_frame(frame, device, captured, raw.adapters);
        break;
      case platform::NextFrame::timeout:
        if (++timeouts == pass_timeouts) return 0;
        trigger(raw, device, timeouts == 1 ? QueryKind::device : QueryKind::configuration);
        break;
      case platform::NextFrame::error:
        return fail(ui::texts::capture_read_failed, capture_read_failed);
      case platform::NextFrame::end:
        return 0;
    }
  }
}

int raw_search(RawEthernet& raw, ModuleTable& table, ui::MainView& view) {
  RawEthernetState& state = raw.state;
  netenv::AdapterTable& adapters = raw.adapters;
  int device_count = std::min(static_cast<int>(state.capture_devices.size()), netenv::max_capture_devices);
  {
    ui::WaitCursor wait(view);
    if (!raw.link.open_query_socket()) return raw_socket_failed;
    state.captured_total = 0;
    adapters.matched_device_count = 0;
    for (DeviceArpEntries& captured : state.captured) captured.count = 0;
    bool matched = adapters.capture_devices_matched;
    for (int d = 0; d < device_count; ++d) {
      if (matched && device_adapter(adapters, d) == netenv::unknown_adapter) continue;
      capture_pass(raw, d, view);  // a failed device has shown its message; the others still count
    }
    raw.link.close_query_socket();
    if (!matched && adapters.matched_device_count == adapters.adapter_count) adapters.capture_devices_matched = true;
  }
  for (DeviceArpEntries& captured : state.captured) state.captured_total += deduplicate_arp_entries(captured);
  if (state.captured_total == 0) return 0;
  add_raw_rows(raw, table, device_count);
  return 0;
}

void RawEthernetSearch::run(ModuleTable& table, netenv::AdapterTable& adapters, ui::MainView& view) {
  RawEthernet raw{adapters, state_, link_, raw_arp_};
  raw_search(raw, table, view);  // -1 (no socket) has no message and leaves the search's rows as they are
}

}  // namespace discovery
