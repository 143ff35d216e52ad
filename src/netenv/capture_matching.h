#pragma once
// Ties capture devices to adapters by name. On Linux a capture device is the interface
// itself and carries its name, so the names must be equal; a substring test would tie
// eth10 to eth1.
#include <span>
#include <string>

#include "netenv/adapter_table.h"

namespace netenv {

// device_names in capture-device order (at most max_capture_devices are used). Does
// nothing once capture_devices_matched is set; otherwise re-ties every device and sets
// capture_devices_matched and matched_device_count when every adapter got a device.
void match_capture_devices(AdapterTable& table, std::span<const std::string> device_names);

}  // namespace netenv
