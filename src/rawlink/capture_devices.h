#pragma once
// The capture devices of the raw-Ethernet layer: the list the library offers, numbered as
// the Adapter table's capture_device_adapter numbers them, and their ties to adapters.
#include <optional>
#include <vector>

#include "netenv/adapter_table.h"
#include "platform/capture.h"
#include "rawlink/raw_ethernet.h"
#include "ui/message_sink.h"

namespace rawlink {

// Codes of enumerate_capture_devices.
constexpr int capture_list_failed = -1;
constexpr int capture_no_device = -2;

using CaptureDevices = std::vector<platform::CaptureDevice>;

// The named devices of the library's list now, at most netenv::max_capture_devices, in
// its order; nothing when the list cannot be read. Each operation looks them up once.
std::optional<CaptureDevices> look_up_capture_devices(RawLink& link);

// Device `device` of devices; null when there is none.
const platform::CaptureDevice* numbered_device(const std::optional<CaptureDevices>& devices, int device);

// Fills state.capture_devices; shows the failure message. Returns 0 or a code above.
int enumerate_capture_devices(RawEthernetState& state, RawLink& link, ui::MessageSink& messages);

// What build_adapter_table runs at its end: enumerate, then match the devices by name.
netenv::CaptureMatcher capture_matcher(RawEthernetState& state, RawLink& link, ui::MessageSink& messages);

// The adapter a device is tied to; netenv::unknown_adapter when none (or no such device).
int device_adapter(const netenv::AdapterTable& adapters, int device);

// The first of the stored devices tied to adapter; -1 when there is none.
int device_of_adapter(const netenv::AdapterTable& adapters, const RawEthernetState& state, int adapter);

// The first address entry of adapter; address_count when it has none.
int first_entry_of_adapter(const netenv::AdapterTable& adapters, int adapter);

}  // namespace rawlink
