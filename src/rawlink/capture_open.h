#pragma once
// The one way the raw-Ethernet layer and the ICMP probe open a capture: open the device
// live, require Ethernet framing (every frame is read at Ethernet offsets), then compile
// and install the filter.
#include <cstdint>
#include <memory>

#include "platform/capture.h"
#include "rawlink/raw_link.h"

namespace rawlink {

// The step that failed; permission_denied is an open that failed for want of CAP_NET_RAW.
enum class CaptureStep { opened, no_device, open_failed, permission_denied, not_ethernet, compile_failed, set_failed };

struct OpenedCapture {
  CaptureStep step = CaptureStep::no_device;
  std::unique_ptr<platform::CaptureSession> session;  // set when step is opened
};

// device null: no_device. netmask is handed to the filter compiler.
OpenedCapture open_filtered_capture(RawLink& link, const platform::CaptureDevice* device, int timeout_ms,
                                    const char* filter, platform::Ipv4Address netmask);

// The netmask of the device's first address; 255.255.255.0 when it has none.
platform::Ipv4Address capture_netmask(const platform::CaptureDevice& device);

}  // namespace rawlink
