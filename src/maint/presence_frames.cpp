#include "maint/presence_frames.h"

namespace maint {

namespace {

constexpr std::size_t min_packet_bytes = 28;
constexpr std::size_t max_packet_bytes = 59;
constexpr std::uint8_t udp_protocol = 17;
constexpr std::uint8_t probe_command = 0x95;
constexpr std::uint8_t answer_command = 0x96;

}  // namespace

std::array<std::uint8_t, presence_probe_bytes> presence_probe_datagram(MacTail tail) {
  return {0x00, probe_command, tail.a, tail.b};
}

bool is_presence_answer(std::span<const std::uint8_t> packet, MacTail tail) {
  if (packet.size() < min_packet_bytes || packet.size() > max_packet_bytes) return false;
  if (packet[9] != udp_protocol) return false;
  const std::size_t h = 4u * (packet[0] & 0x0Fu);
  if (h + 12 > packet.size()) return false;  // a header length that leaves no room for the payload
  return packet[h] == (maintenance_port >> 8) && packet[h + 1] == (maintenance_port & 0xFF) &&
         packet[h + 8] == 0x00 && packet[h + 9] == answer_command && packet[h + 10] == tail.a &&
         packet[h + 11] == tail.b;
}

}  // namespace maint
