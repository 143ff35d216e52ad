#include "maint/presence_probe.h"

#include <netinet/in.h>

#include <algorithm>
#include <array>

#include "maint/presence_frames.h"
#include "platform/raw_icmp_socket.h"
#include "platform/udp_socket.h"

namespace maint {

namespace {

constexpr auto limited_broadcast = platform::Ipv4Address::from_octets(255, 255, 255, 255);

// Waits for the answer on the raw socket: true when it came. Every packet, answer or not,
// starts the wait again.
bool answer_caught(int raw_fd, MacTail tail, platform::WaitClock& clock) {
  std::array<std::uint8_t, presence_packet_buffer_bytes> packet{};
  for (;;) {
    if (clock.wait_readable(raw_fd, 0, presence_wait_us) != platform::WaitResult::ready) return false;
    const int n = platform::receive_ip_packet(raw_fd, packet);
    if (n < 0) return false;
    if (is_presence_answer(std::span(packet.data(), static_cast<std::size_t>(n)), tail)) return true;
  }
}

}  // namespace

PresenceProbeResult presence_probe(const netenv::AdapterTable& adapters, int entry, MacTail tail,
                                   platform::WaitClock& clock) {
  PresenceProbeResult result;
  const int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  const int first = entry >= 0 ? entry : 0;
  const int end = entry >= 0 ? std::min(entry + 1, count) : count;
  int answers = 0;
  int last_adapter = -1;
  for (int k = first; k < end; ++k) {
    const netenv::AddressEntry& address = adapters.addresses[static_cast<std::size_t>(k)];
    if (k > first && address.adapter == last_adapter) continue;
    last_adapter = address.adapter;

    platform::SocketHandle socket = platform::open_udp_socket();
    if (!socket.valid() || !platform::enable_broadcast(socket.fd()) ||
        !platform::bind_ipv4(socket.fd(), address.ip, presence_source_port)) {
      result.code = presence_socket_failed;
      return result;
    }
    // The raw socket listens before the probe leaves: a module next door answers at once.
    platform::RawSocketOpening raw = platform::open_raw_ip_socket(IPPROTO_UDP, address.ip);
    if (raw.status == platform::raw_socket_not_permitted) result.raw_not_permitted = true;
    const auto probe = presence_probe_datagram(tail);
    if (platform::send_datagram(socket.fd(), limited_broadcast, maintenance_port, probe) !=
        static_cast<int>(probe.size())) {
      result.code = presence_send_failed;
      return result;
    }
    if (raw.status == 0 && answer_caught(raw.socket.fd(), tail, clock)) ++answers;
  }
  result.code = answers > 0 ? 0 : presence_no_answer;
  return result;
}

}  // namespace maint
