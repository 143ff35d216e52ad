#pragma once
// The Maintenance port's wireless frames (UDP 59950), addressed by the MAC's last two bytes:
//
//   read request   4 bytes    00 E8 t0 t1
//   read reply     257 bytes  00 E8 t0 t1, XOR of bytes 5..256, block at 5..201, 202..256 unused
//   write request  257 bytes  00 D8 t0 t1, XOR of bytes 5..256, block at 5..201, zeros after
//   write ack      4 bytes    00 D8 t0 t1
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace config {

constexpr std::uint16_t maintenance_port = 59950;
constexpr std::size_t wireless_block_bytes = 197;
constexpr std::size_t wireless_frame_bytes = 257;
constexpr std::size_t wireless_request_bytes = 4;
constexpr std::size_t wireless_reply_buffer_bytes = 300;
constexpr std::size_t wireless_ack_buffer_bytes = 30;

using WirelessBlock = std::array<std::uint8_t, wireless_block_bytes>;
using MacTail = std::array<std::uint8_t, 2>;  // bytes 5 and 6 of the MAC

std::array<std::uint8_t, wireless_request_bytes> wireless_read_request(MacTail tail);
std::array<std::uint8_t, wireless_frame_bytes> wireless_write_request(MacTail tail, const WirelessBlock& block);

// XOR of bytes 5..256 of a frame (0 for a shorter span's missing bytes).
std::uint8_t wireless_checksum(std::span<const std::uint8_t> frame);

// The block of a valid read reply: exactly 257 bytes, 00 E8, the same tail, a matching XOR.
std::optional<WirelessBlock> parse_wireless_reply(std::span<const std::uint8_t> datagram, MacTail tail);

// True for exactly 00 D8 t0 t1.
bool is_wireless_write_ack(std::span<const std::uint8_t> datagram, MacTail tail);

}  // namespace config
