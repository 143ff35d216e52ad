#include "rawlink/system_raw_link.h"

#include "platform/neighbour_table.h"
#include "platform/udp_socket.h"

namespace rawlink {

platform::CaptureDeviceListing SystemRawLink::list_capture_devices() { return platform::list_capture_devices(); }

platform::CaptureOpening SystemRawLink::open_capture(const std::string& device, int timeout_ms) {
  return platform::open_live_capture(device, capture_snaplen_bytes, true, timeout_ms, clock_);
}

bool SystemRawLink::open_query_socket() {
  socket_ = platform::open_udp_socket();
  return socket_.valid() && platform::enable_broadcast(socket_.fd());
}

bool SystemRawLink::send_query(platform::Ipv4Address broadcast, QueryKind kind) {
  std::span<const std::uint8_t> query = kind == QueryKind::device ? queries_.device_query : queries_.configuration_query;
  return platform::send_datagram(socket_.fd(), broadcast, queries_.port, query) ==
         static_cast<int>(query.size());
}

void SystemRawLink::close_query_socket() { socket_.reset(); }

bool SystemRawLink::resolve_neighbour(platform::Ipv4Address ip, int wait_ms) {
  return platform::resolve_neighbour(clock_, ip, wait_ms);
}

}  // namespace rawlink
