#include "rawlink/capture_devices.h"

#include <algorithm>

#include "netenv/capture_matching.h"
#include "ui/texts.h"

namespace rawlink {

std::optional<CaptureDevices> look_up_capture_devices(RawLink& link) {
  platform::CaptureDeviceListing listing = link.list_capture_devices();
  if (!listing.ok) return std::nullopt;
  CaptureDevices named;
  for (platform::CaptureDevice& device : listing.devices) {
    if (device.name.empty()) continue;
    if (static_cast<int>(named.size()) == netenv::max_capture_devices) break;
    named.push_back(std::move(device));
  }
  return named;
}

const platform::CaptureDevice* numbered_device(const std::optional<CaptureDevices>& devices, int device) {
  if (!devices || device < 0 || device >= static_cast<int>(devices->size())) return nullptr;
  return &(*devices)[static_cast<std::size_t>(device)];
}

int enumerate_capture_devices(RawEthernetState& state, RawLink& link, ui::MessageSink& messages) {
  std::optional<CaptureDevices> devices = look_up_capture_devices(link);
  if (!devices) {
    messages.warn(ui::texts::caption_error, ui::texts::capture_device_list_failed);
    return capture_list_failed;
  }
  state.capture_devices.clear();
  for (const platform::CaptureDevice& device : *devices) state.capture_devices.push_back(device.name);
  if (state.capture_devices.empty()) {
    messages.warn(ui::texts::caption_error, ui::texts::capture_no_device);
    return capture_no_device;
  }
  return 0;
}

netenv::CaptureMatcher capture_matcher(RawEthernetState& state, RawLink& link, ui::MessageSink& messages) {
  return [&state, &link, &messages](netenv::AdapterTable& table) {
    if (enumerate_capture_devices(state, link, messages) == 0) netenv::match_capture_devices(table, state.capture_devices);
  };
}

int device_adapter(const netenv::AdapterTable& adapters, int device) {
  if (device < 0 || device >= netenv::max_capture_devices) return netenv::unknown_adapter;
  return adapters.capture_device_adapter[static_cast<std::size_t>(device)];
}

int device_of_adapter(const netenv::AdapterTable& adapters, const RawEthernetState& state, int adapter) {
  int count = std::min(static_cast<int>(state.capture_devices.size()), netenv::max_capture_devices);
  for (int d = 0; d < count; ++d)
    if (device_adapter(adapters, d) == adapter) return d;
  return -1;
}

int first_entry_of_adapter(const netenv::AdapterTable& adapters, int adapter) {
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  for (int k = 0; k < count; ++k)
    if (adapters.addresses[static_cast<std::size_t>(k)].adapter == adapter) return k;
  return count;
}

}  // namespace rawlink
