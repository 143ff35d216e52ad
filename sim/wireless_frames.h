#pragma once
// The module's wireless block and its frames on the Maintenance port (UDP 59950).
//
// Block (197 bytes): 0 = 127 after an edit; 1 = bit 0 Ad-hoc, bits 4..7 channel; 2 = bits
// 0..1 suite, 2..4 authentication, 5..7 method; 3..35 and 36..68 SSID (twice, zero-filled);
// 69 method; 70 key length; 71 bits 0..1 key type (0 hex, 1 passphrase); 72 key index;
// 133..196 key. The module fills the bytes it does not name with a pattern of its own.
//
// Read request  (4):   00 E8 t0 t1        t0 t1 = the last two bytes of the MAC
// Read reply    (257): 00 E8 t0 t1, XOR of 5..256, block at 5..201, 202..256 module bytes
// Write request (257): 00 D8 t0 t1, XOR of 5..256, block at 5..201
// Write ack     (4):   00 D8 t0 t1
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "module_config.h"

namespace sim {

inline constexpr std::size_t wireless_block_bytes = 197;
inline constexpr std::size_t wireless_frame_bytes = 257;
using WirelessBlock = std::array<std::uint8_t, wireless_block_bytes>;
using MacTail = std::array<std::uint8_t, 2>;

WirelessBlock encode_wireless_block(const WifiConfig& wifi);

bool is_wireless_read(std::span<const std::uint8_t> datagram, MacTail tail);
// Reply frame of `length_bytes` (truncated or zero-padded), with a wrong XOR when asked.
std::vector<std::uint8_t> encode_wireless_reply(MacTail tail, const WirelessBlock& block, std::size_t length_bytes,
                                                bool bad_checksum);
// The block of an exact write request for this module with a correct XOR, else nothing.
std::optional<WirelessBlock> parse_wireless_write(std::span<const std::uint8_t> datagram, MacTail tail);
std::vector<std::uint8_t> encode_wireless_ack(MacTail tail);

}  // namespace sim
