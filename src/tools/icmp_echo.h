#pragma once
// The probe's ICMP bytes: the 44-byte echo request it sends, the check of an echo reply
// read from the raw socket (IP header included) and the check of a captured router report
// "network unreachable" about one of its requests. Pure functions over byte spans.
//
// Echo request (multi-byte fields in the host's little-endian order, except the checksum):
//   0 type 8 | 1 code 0 | 2..3 checksum | 4..5 identifier | 6..7 sequence
//   8..11 tick count (ms) | 12..43 "mqv9kremoteicmptestifhasonline-" and one zero byte
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ipv4_address.h"

namespace tools {

constexpr std::size_t echo_request_bytes = 44;
constexpr std::string_view echo_payload = "mqv9kremoteicmptestifhasonline-";  // followed by one zero byte

using EchoRequest = std::array<std::uint8_t, echo_request_bytes>;

// RFC 1071: ones' complement of the ones' complement sum of big-endian 16-bit words (an odd
// last byte is padded with zero). Stored big-endian, a packet containing it sums to 0.
std::uint16_t internet_checksum(std::span<const std::uint8_t> bytes);

// The echo identifier of a process: the low 16 bits of its id.
std::uint16_t echo_identifier(long process_id);

EchoRequest build_echo_request(std::uint16_t identifier, std::uint16_t sequence, std::uint32_t tick_ms);

// An IPv4 packet as the raw socket delivers it: an echo reply of this program from target.
// Checks, in order: at least 60 bytes, protocol ICMP, source = target, ICMP
// type 0 at the header length h, identifier at h + 4, total length = h + 44.
bool is_echo_reply(std::span<const std::uint8_t> packet, platform::Ipv4Address target, std::uint16_t identifier);

// A captured Ethernet II frame (20-byte IP headers assumed): an ICMP "network unreachable"
// to adapter_ip about an echo request of this program to target.
// Frames shorter than 78 bytes never match.
bool is_network_unreachable_report(std::span<const std::uint8_t> frame, platform::Ipv4Address adapter_ip,
                                   platform::Ipv4Address target);

}  // namespace tools
