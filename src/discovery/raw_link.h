#pragma once
// What the raw-Ethernet layer asks of the machine: capture devices, the Discovery-port
// socket whose queries make the modules speak, the kernel's ARP resolution and the clock.
// The program uses SystemRawLink; tests put fakes in its place.
#include <cstdint>
#include <span>
#include <string>

#include "platform/capture.h"
#include "platform/wait_clock.h"

namespace discovery {

constexpr int capture_snaplen_bytes = 100;  // every capture is promiscuous

class RawLink {
 public:
  virtual ~RawLink() = default;

  virtual platform::CaptureDeviceListing list_capture_devices() = 0;
  virtual platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) = 0;

  // The broadcast socket of the search, open between these two calls.
  virtual bool open_query_socket() = 0;
  virtual bool send_query(std::uint32_t broadcast_network, std::span<const std::uint8_t> query) = 0;
  virtual void close_query_socket() = 0;

  // The operating system's ARP resolution of ip_network, waiting at most wait_ms.
  virtual bool resolve_neighbour(std::uint32_t ip_network, int wait_ms) = 0;
  // The program's clock: the layer's pauses and waits.
  virtual platform::WaitClock& clock() = 0;
};

}  // namespace discovery
