#pragma once
// The raw-Ethernet layer's view of the real machine: libpcap, the broadcast socket of the
// search, the kernel neighbour table and real sleeps.
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
  explicit SystemRawLink(QueryDatagrams queries) : queries_(queries) {}
  platform::CaptureDeviceListing list_capture_devices() override;
  platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) override;
  bool open_query_socket() override;
  bool send_query(std::uint32_t broadcast_network, QueryKind kind) override;
  void close_query_socket() override;
  bool resolve_neighbour(std::uint32_t ip_network, int wait_ms) override;
  void sleep_ms(int milliseconds) override;

 private:
  QueryDatagrams queries_;
  platform::SocketHandle socket_;
};

}  // namespace rawlink
