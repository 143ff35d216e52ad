#pragma once
// The raw-Ethernet layer's view of the real machine: libpcap, the broadcast socket of the
// search, the kernel neighbour table and the program's clock.
#include "discovery/raw_link.h"
#include "platform/socket_handle.h"

namespace discovery {

class SystemRawLink final : public RawLink {
 public:
  explicit SystemRawLink(platform::WaitClock& clock) : clock_(clock) {}
  platform::CaptureDeviceListing list_capture_devices() override;
  platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) override;
  bool open_query_socket() override;
  bool send_query(std::uint32_t broadcast_network, std::span<const std::uint8_t> query) override;
  void close_query_socket() override;
  bool resolve_neighbour(std::uint32_t ip_network, int wait_ms) override;
  platform::WaitClock& clock() override { return clock_; }

 private:
  platform::WaitClock& clock_;
  platform::SocketHandle socket_;
};

}  // namespace discovery
