#pragma once
// What the raw-Ethernet layer asks of the machine: capture devices, the broadcast socket
// whose queries make the modules speak, the kernel's ARP resolution and the clock.
// The program uses SystemRawLink; tests put fakes in its place.
#include <cstdint>
#include <string>

#include "platform/capture.h"
#include "platform/wait_clock.h"

namespace rawlink {

constexpr int capture_snaplen_bytes = 100;  // every capture is promiscuous

// The two queries of the search that make a module answer (and ARP for its peers).
enum class QueryKind { device, configuration };

class RawLink {
 public:
  virtual ~RawLink() = default;

  virtual platform::CaptureDeviceListing list_capture_devices() = 0;
  virtual platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) = 0;

  // The broadcast socket of the search, open between these two calls.
  virtual bool open_query_socket() = 0;
  virtual bool send_query(platform::Ipv4Address broadcast, QueryKind kind) = 0;
  virtual void close_query_socket() = 0;

  // The operating system's ARP resolution of ip, waiting at most wait_ms.
  virtual bool resolve_neighbour(platform::Ipv4Address ip, int wait_ms) = 0;
  // The program's clock: the layer's pauses and waits.
  virtual platform::WaitClock& clock() = 0;
};

}  // namespace rawlink
