#pragma once
// The capture device list of the raw-Ethernet layer and its matching to the adapters,
// run at every Adapter table build.
#include "discovery/raw_ethernet.h"
#include "netenv/adapter_table.h"
#include "platform/capture.h"
#include "ui/message_sink.h"

namespace discovery {

// Codes of enumerate_capture_devices.
constexpr int capture_list_failed = -1;
constexpr int capture_no_device = -2;

// Device number `device` of a listing: the named devices count, at most
// netenv::max_capture_devices of them. Null when there is no such device.
const platform::CaptureDevice* numbered_device(const platform::CaptureDeviceListing& listing, int device);

// Fills state.capture_devices; shows the failure message. Returns 0 or a code above.
int enumerate_capture_devices(RawEthernetState& state, RawLink& link, ui::MessageSink& messages);

// What build_adapter_table runs at its end: enumerate, then match the devices by name.
netenv::CaptureMatcher capture_matcher(RawEthernetState& state, RawLink& link, ui::MessageSink& messages);

}  // namespace discovery
