#include "wireless_frames.h"

#include <algorithm>

namespace sim {
namespace {

constexpr std::uint8_t read_command = 0xE8;
constexpr std::uint8_t write_command = 0xD8;

std::uint8_t xor_from_5(std::span<const std::uint8_t> frame) {
  std::uint8_t x = 0;
  for (std::size_t i = 5; i < frame.size(); ++i) x ^= frame[i];
  return x;
}

bool header(std::span<const std::uint8_t> d, std::uint8_t command, MacTail tail) {
  return d.size() >= 4 && d[0] == 0 && d[1] == command && d[2] == tail[0] && d[3] == tail[1];
}

}  // namespace

WirelessBlock encode_wireless_block(const WifiConfig& w) {
  WirelessBlock b{};
  for (std::size_t i = 73; i < 133; ++i) b[i] = static_cast<std::uint8_t>(i * 29 + 7);
  b[1] = static_cast<std::uint8_t>((w.adhoc ? 1 : 0) | 0x0A | (w.channel << 4));
  b[2] = static_cast<std::uint8_t>((w.suite & 3) | ((w.auth & 7) << 2) | ((w.method & 7) << 5));
  for (std::size_t at : {std::size_t{3}, std::size_t{36}}) {
    std::copy_n(w.ssid.begin(), std::min<std::size_t>(w.ssid.size(), 32), b.begin() + static_cast<std::ptrdiff_t>(at));
  }
  b[69] = w.method;
  b[70] = static_cast<std::uint8_t>(w.key.size());
  b[71] = static_cast<std::uint8_t>(0xA4 | (w.key_type & 3));
  b[72] = w.key_index;
  std::copy_n(w.key.begin(), std::min<std::size_t>(w.key.size(), 64), b.begin() + 133);
  return b;
}

bool is_wireless_read(std::span<const std::uint8_t> d, MacTail tail) {
  return d.size() == 4 && header(d, read_command, tail);
}

std::vector<std::uint8_t> encode_wireless_reply(MacTail tail, const WirelessBlock& block, std::size_t length_bytes,
                                                bool bad_checksum) {
  std::vector<std::uint8_t> f(wireless_frame_bytes, 0x5A);  // 202..256: bytes the program does not use
  f[0] = 0;
  f[1] = read_command;
  f[2] = tail[0];
  f[3] = tail[1];
  std::copy(block.begin(), block.end(), f.begin() + 5);
  f[4] = static_cast<std::uint8_t>(xor_from_5(f) ^ (bad_checksum ? 0x01 : 0));
  f.resize(length_bytes, 0);
  return f;
}

std::optional<WirelessBlock> parse_wireless_write(std::span<const std::uint8_t> d, MacTail tail) {
  if (d.size() != wireless_frame_bytes || !header(d, write_command, tail) || xor_from_5(d) != d[4]) return std::nullopt;
  WirelessBlock block;
  std::copy_n(d.begin() + 5, wireless_block_bytes, block.begin());
  return block;
}

std::vector<std::uint8_t> encode_wireless_ack(MacTail tail) { return {0, write_command, tail[0], tail[1]}; }

}  // namespace sim
