#include "config/wireless_frames.h"

#include <algorithm>

namespace config {
namespace {

constexpr std::uint8_t read_command = 0xE8;
constexpr std::uint8_t write_command = 0xD8;
constexpr std::size_t checksum_at = 4;
constexpr std::size_t block_at = 5;

bool has_header(std::span<const std::uint8_t> d, std::uint8_t command, MacTail tail) {
  return d.size() >= 4 && d[0] == 0 && d[1] == command && d[2] == tail[0] && d[3] == tail[1];
}

}  // namespace

std::array<std::uint8_t, wireless_request_bytes> wireless_read_request(MacTail tail) {
  return {0, read_command, tail[0], tail[1]};
}

std::array<std::uint8_t, wireless_frame_bytes> wireless_write_request(MacTail tail, const WirelessBlock& block) {
  std::array<std::uint8_t, wireless_frame_bytes> frame{0, write_command, tail[0], tail[1]};
  std::copy(block.begin(), block.end(), frame.begin() + block_at);
  frame[checksum_at] = wireless_checksum(frame);
  return frame;
}

std::uint8_t wireless_checksum(std::span<const std::uint8_t> frame) {
  std::uint8_t x = 0;
  for (std::size_t i = block_at; i < frame.size() && i < wireless_frame_bytes; ++i) x ^= frame[i];
  return x;
}

std::optional<WirelessBlock> parse_wireless_reply(std::span<const std::uint8_t> d, MacTail tail) {
  if (d.size() != wireless_frame_bytes || !has_header(d, read_command, tail)) return std::nullopt;
  if (wireless_checksum(d) != d[checksum_at]) return std::nullopt;
  WirelessBlock block;
  std::copy_n(d.begin() + block_at, wireless_block_bytes, block.begin());
  return block;
}

bool is_wireless_write_ack(std::span<const std::uint8_t> d, MacTail tail) {
  return d.size() == wireless_request_bytes && has_header(d, write_command, tail);
}

}  // namespace config
