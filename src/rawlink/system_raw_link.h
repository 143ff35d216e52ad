#pragma once
// The raw-Ethernet layer's view of the real machine: libpcap, the broadcast socket of the
// search, the kernel neighbour table and the program's clock.
#include <cstdint>
#include <span>

#include "platform/socket_handle.h"
#include "rawlink/raw_link.h"

namespace rawlink {

// The datagrams behind each QueryKind and the port they are broadcast to.
struct QueryDatagrams {
  std::uint16_t port = 0;
  std::span<const std::uint8_t> device_query;
  std::span<const std::uint8_t> configuration_query;
};

class SystemRawLink final : public RawLink {
 public:
  SystemRawLink(platform::WaitClock& clock, QueryDatagrams queries) : clock_(clock), queries_(queries) {}
  platform::CaptureDeviceListing list_capture_devices() override;
  platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) override;
  bool open_query_socket() override;
  bool send_query(platform::Ipv4Address broadcast, QueryKind kind) override;
  void close_query_socket() override;
  bool resolve_neighbour(platform::Ipv4Address ip, int wait_ms) override;
  platform::WaitClock& clock() override { return clock_; }

 private:
  platform::WaitClock& clock_;
  QueryDatagrams queries_;
  platform::SocketHandle socket_;
};

}  // namespace rawlink
