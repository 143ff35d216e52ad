#pragma once
// Packet capture over libpcap: the capturable devices, live captures (and savefiles for
// tests) behind one small session interface. A session closes its handle when destroyed.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/ipv4_address.h"
#include "platform/wait_clock.h"

namespace platform {

struct CaptureDevice {
  std::string name;          // the interface name
  std::string description;
  Ipv4Address netmask;  // of the device's first IPv4 address; 0.0.0.0 when it has none
};

struct CaptureDeviceListing {
  bool ok = false;
  std::string error;  // the capture library's text when !ok
  std::vector<CaptureDevice> devices;
};

// The kernel's network interfaces that the capture library offers, in its order. Loopback
// and the library's pseudo-devices (any, nflog, bus monitors...) are left out: they are not
// adapters, and the list is read by position.
CaptureDeviceListing list_capture_devices();

enum class NextFrame { frame, timeout, error, end };
enum class FilterResult { installed, compile_failed, set_failed };

// One open capture.
class CaptureSession {
 public:
  virtual ~CaptureSession() = default;
  virtual bool ethernet() const = 0;
  // Compiles expression (optimised) with netmask and installs it.
  virtual FilterResult set_filter(const std::string& expression, Ipv4Address netmask) = 0;
  // On NextFrame::frame, frame holds the captured bytes until the next call.
  virtual NextFrame next_frame(std::span<const std::uint8_t>& frame) = 0;
  virtual bool send_frame(std::span<const std::uint8_t> frame) = 0;
  // The capture library's text for the last failed call.
  virtual std::string last_error() const = 0;
};

// permission_denied: the process lacks the right to capture (CAP_NET_RAW), which no retry
// and no other device will cure.
enum class OpenStatus { opened, permission_denied, failed };

struct CaptureOpening {
  OpenStatus status = OpenStatus::failed;
  std::string error;  // the capture library's text when not opened
  std::unique_ptr<CaptureSession> session;
};

// A live capture: frames cut to snaplen_bytes, each frame handed over as soon as it
// arrives; next_frame reports a time-out after timeout_ms without a frame, waiting through
// clock (a cancelled wait ends the capture).
CaptureOpening open_live_capture(const std::string& device, int snaplen_bytes, bool promiscuous, int timeout_ms,
                                 WaitClock& clock);

// A savefile read as if it were a device; it reports NextFrame::end after its last frame.
CaptureOpening open_capture_file(const std::string& path);

}  // namespace platform
