#include "discovery/system_raw_link.h"

#include "discovery/discovery_datagrams.h"
#include "discovery/discovery_socket.h"
#include "platform/neighbour_table.h"
#include "platform/udp_socket.h"

namespace discovery {

platform::CaptureDeviceListing SystemRawLink::list_capture_devices() { return platform::list_capture_devices(); }

platform::CaptureOpening SystemRawLink::open_capture(const std::string& device, int timeout_ms) {
  return platform::open_live_capture(device, capture_snaplen_bytes, true, timeout_ms, clock_);
}

bool SystemRawLink::open_query_socket() { return open_broadcast_socket(socket_) == 0; }

bool SystemRawLink::send_query(std::uint32_t broadcast_network, std::span<const std::uint8_t> query) {
  return platform::send_datagram(socket_.fd(), broadcast_network, discovery_port, query) ==
         static_cast<int>(query.size());
}

void SystemRawLink::close_query_socket() { socket_.reset(); }

bool SystemRawLink::resolve_neighbour(std::uint32_t ip_network, int wait_ms) {
  return platform::resolve_neighbour(clock_, ip_network, wait_ms);
}

}  // namespace discovery
