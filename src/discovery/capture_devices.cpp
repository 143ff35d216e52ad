#include "discovery/capture_devices.h"

#include "netenv/capture_matching.h"
#include "ui/texts.h"

namespace discovery {

const platform::CaptureDevice* numbered_device(const platform::CaptureDeviceListing& listing, int device) {
  int number = 0;
  for (const auto& listed : listing.devices) {
    if (listed.name.empty()) continue;
    if (number >= netenv::max_capture_devices) return nullptr;
    if (number++ == device) return &listed;
  }
  return nullptr;
}

int enumerate_capture_devices(RawEthernetState& state, RawLink& link, ui::MessageSink& messages) {
  platform::CaptureDeviceListing listing = link.list_capture_devices();
  if (!listing.ok) {
    messages.warn(ui::texts::caption_error, ui::texts::capture_device_list_failed);
    return capture_list_failed;
  }
  state.capture_devices.clear();
  while (const platform::CaptureDevice* device = numbered_device(listing, static_cast<int>(state.capture_devices.size())))
    state.capture_devices.push_back(device->name);
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

}  // namespace discovery
