#include "netenv/capture_matching.h"

#include <algorithm>

namespace netenv {

void match_capture_devices(AdapterTable& table, std::span<const std::string> device_names) {
  if (table.capture_devices_matched) return;
  int device_count = std::min(static_cast<int>(device_names.size()), max_capture_devices);
  int adapter_count = std::clamp(table.adapter_count, 0, max_adapters);
  int matches = 0;
  table.capture_device_adapter.fill(unknown_adapter);
  for (int d = 0; d < device_count; ++d) {
    const std::string& device = device_names[static_cast<std::size_t>(d)];
    for (int j = 0; j < adapter_count; ++j) {
      const std::string& adapter = table.adapters[static_cast<std::size_t>(j)].name;
      if (device.empty() || adapter.empty() || device != adapter) continue;
      table.capture_device_adapter[static_cast<std::size_t>(d)] = j;
      ++matches;
    }
  }
  if (matches == table.adapter_count) {
    table.capture_devices_matched = true;
    table.matched_device_count = table.adapter_count;
  }
}

}  // namespace netenv
