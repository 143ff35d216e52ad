#pragma once
// The presence probe of the Maintenance port (UDP 59950): a 4-byte broadcast
// 00 95 A B asks the module whose MAC ends in A B to answer; its answer, caught with its
// IP header by a raw socket, is a UDP datagram from port 59950 beginning 00 96 A B.
#include <array>
#include <cstdint>
#include <span>

#include "maint/address_assignment.h"

namespace maint {

constexpr std::uint16_t maintenance_port = 59950;
constexpr std::uint16_t presence_source_port = 12345;
constexpr std::size_t presence_probe_bytes = 4;
constexpr std::size_t presence_packet_buffer_bytes = 120;

std::array<std::uint8_t, presence_probe_bytes> presence_probe_datagram(MacTail tail);

// True for an IP packet of 28..59 bytes carrying UDP from port 59950 whose payload begins
// 00 96 A B.
bool is_presence_answer(std::span<const std::uint8_t> packet, MacTail tail);

}  // namespace maint
