#include "tools/icmp_echo.h"

#include "platform/byte_reader.h"

namespace tools {
namespace {

constexpr std::uint8_t protocol_icmp = 1;
constexpr std::uint8_t type_echo_request = 8;
constexpr std::uint8_t type_echo_reply = 0;
constexpr std::uint8_t type_unreachable = 3;
constexpr std::uint8_t code_network_unreachable = 0;

// Offsets in an IPv4 header.
constexpr std::size_t ip_total_length_at = 2;
constexpr std::size_t ip_protocol_at = 9;
constexpr std::size_t ip_source_at = 12;
constexpr std::size_t ip_destination_at = 16;

constexpr std::size_t min_reply_bytes = 60;

// Offsets in a captured frame carrying a report: Ethernet 14, IP 20, ICMP 8, then the
// quoted IP header (20) and the first bytes of our echo request.
constexpr std::size_t ethernet_bytes = 14;
constexpr std::size_t report_ip_at = ethernet_bytes;
constexpr std::size_t report_icmp_at = report_ip_at + 20;
constexpr std::size_t quoted_ip_at = report_icmp_at + 8;
constexpr std::size_t quoted_payload_at = quoted_ip_at + 20 + 12;
constexpr std::size_t quoted_payload_bytes = 4;
constexpr std::size_t min_report_frame_bytes = quoted_payload_at + quoted_payload_bytes;  // 78
constexpr unsigned min_report_total_length = 70;  // exclusive

// An address field against an address.
bool address_at(std::span<const std::uint8_t> bytes, std::size_t at, platform::Ipv4Address address) {
  platform::ByteReader read(bytes);
  return read.ipv4(at) == address && read.ok();
}

void put_le16(EchoRequest& packet, std::size_t at, std::uint16_t value) {
  packet[at] = static_cast<std::uint8_t>(value);
  packet[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::uint16_t internet_checksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    sum += std::uint32_t{bytes[i]} << 8 | low;
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

std::uint16_t echo_identifier(long process_id) { return static_cast<std::uint16_t>(process_id & 0xFFFF); }

EchoRequest build_echo_request(std::uint16_t identifier, std::uint16_t sequence, std::uint32_t tick_ms) {
  EchoRequest packet{};
  packet[0] = type_echo_request;
  put_le16(packet, 4, identifier);
  put_le16(packet, 6, sequence);
  put_le16(packet, 8, static_cast<std::uint16_t>(tick_ms));
  put_le16(packet, 10, static_cast<std::uint16_t>(tick_ms >> 16));
  for (std::size_t i = 0; i < echo_payload.size(); ++i) packet[12 + i] = static_cast<std::uint8_t>(echo_payload[i]);
  std::uint16_t checksum = internet_checksum(packet);
  packet[2] = static_cast<std::uint8_t>(checksum >> 8);
  packet[3] = static_cast<std::uint8_t>(checksum);
  return packet;
}

bool is_echo_reply(std::span<const std::uint8_t> packet, platform::Ipv4Address target, std::uint16_t identifier) {
  if (packet.size() < min_reply_bytes) return false;
  platform::ByteReader read(packet);
  std::size_t h = 4u * (read.u8(0) & 0x0Fu);
  return read.u8(ip_protocol_at) == protocol_icmp && address_at(packet, ip_source_at, target) &&
         read.u8(h) == type_echo_reply && read.le16(h + 4) == identifier &&
         read.be16(ip_total_length_at) == h + echo_request_bytes && read.ok();
}

bool is_network_unreachable_report(std::span<const std::uint8_t> frame, platform::Ipv4Address adapter_ip,
                                   platform::Ipv4Address target) {
  if (frame.size() < min_report_frame_bytes) return false;
  if (frame[report_ip_at + ip_protocol_at] != protocol_icmp) return false;
  if (!address_at(frame, report_ip_at + ip_destination_at, adapter_ip)) return false;
  if (frame[report_icmp_at] != type_unreachable || frame[report_icmp_at + 1] != code_network_unreachable) return false;
  if (!address_at(frame, quoted_ip_at + ip_destination_at, target)) return false;
  if (platform::ByteReader(frame).be16(report_ip_at + ip_total_length_at) <= min_report_total_length) return false;
  for (std::size_t i = 0; i < quoted_payload_bytes; ++i)
    if (frame[quoted_payload_at + i] != static_cast<std::uint8_t>(echo_payload[i])) return false;
  return true;
}

}  // namespace tools
