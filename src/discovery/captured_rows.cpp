#include "discovery/captured_rows.h"

#include <algorithm>

#include "discovery/discovery_datagrams.h"

namespace discovery {
namespace {

bool listed_by_search(const ModuleTable& table, platform::Ipv4Address ip) {
  int count = std::clamp(table.device_reply_count, 0, max_rows);
  return std::any_of(table.rows.begin(), table.rows.begin() + count, [ip](const ModuleRow& row) { return row.ip == ip; });
}

void fill_raw_row(ModuleRow& row, const rawlink::ArpEntry& entry, int subnet_index) {
  row = ModuleRow{};
  row.raw_only = true;
  std::copy(rawlink::module_mac_prefix.begin(), rawlink::module_mac_prefix.end(), row.mac.begin());
  std::copy(entry.mac_tail.begin(), entry.mac_tail.end(), row.mac.begin() + rawlink::module_mac_prefix.size());
  row.ip = entry.sender_ip;
  row.gateway = entry.target_ip;
  row.work_mode = no_mode;
  row.subnet_index = static_cast<std::uint8_t>(subnet_index);
}

}  // namespace

rawlink::QueryDatagrams raw_search_queries() { return {discovery_port, device_query, configuration_query}; }

void add_captured_rows(ModuleTable& table, const netenv::AdapterTable& adapters, const rawlink::RawEthernetState& state) {
  if (state.captured_total == 0) return;
  int row = table.found_count;
  int device_count = std::min(static_cast<int>(state.capture_devices.size()), netenv::max_capture_devices);
  for (int d = 0; d < device_count; ++d) {
    const rawlink::DeviceArpEntries& captured = state.captured[static_cast<std::size_t>(d)];
    int subnet_index = rawlink::first_entry_of_adapter(adapters, rawlink::device_adapter(adapters, d));
    for (int i = 0; i < std::clamp(captured.count, 0, rawlink::max_arp_entries); ++i) {
      const rawlink::ArpEntry& entry = captured.entries[static_cast<std::size_t>(i)];
      if (listed_by_search(table, entry.sender_ip)) continue;
      if (row < 0 || row >= max_rows || table.shown_count < 0 || table.shown_count >= max_rows) return;
      fill_raw_row(table.rows[static_cast<std::size_t>(row)], entry, subnet_index);
      table.display_order[static_cast<std::size_t>(table.shown_count++)] = row++;
    }
  }
}

void RawEthernetSearch::start(netenv::AdapterTable& adapters) {
  rawlink::RawEthernet raw{adapters, state_, link_, raw_arp_};
  captures_ = rawlink::open_search_captures(raw);
}

void RawEthernetSearch::run(ModuleTable& table, netenv::AdapterTable& adapters, ui::MainView& view) {
  rawlink::RawEthernet raw{adapters, state_, link_, raw_arp_};
  // -1 (no socket) has no message and leaves the search's rows as they are.
  if (rawlink::raw_search(raw, captures_, view) == 0) add_captured_rows(table, adapters, state_);
}

}  // namespace discovery
