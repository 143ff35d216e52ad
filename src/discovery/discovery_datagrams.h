#pragma once
// The Discovery port of the modules (UDP 30718): every datagram is three zero bytes and a
// command byte; the lengths and receive buffer sizes of the exchanges that use it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace discovery {

constexpr std::uint16_t discovery_port = 30718;

constexpr std::uint8_t device_query_command = 0xF6;
constexpr std::uint8_t device_reply_command = 0xF7;
constexpr std::uint8_t configuration_query_command = 0xF8;
constexpr std::uint8_t configuration_reply_command = 0xF9;
constexpr std::uint8_t set_configuration_command = 0xFD;
constexpr std::uint8_t set_configuration_ack_command = 0xFB;  // only byte 3 is checked
constexpr std::uint8_t address_assignment_command = 0xFC;

constexpr std::size_t header_bytes = 4;
constexpr std::size_t query_bytes = 4;
constexpr std::size_t device_reply_bytes = 30;
constexpr std::size_t configuration_reply_bytes = 124;  // header + 120-byte record
constexpr std::size_t set_configuration_bytes = 124;
constexpr std::size_t set_configuration_ack_max_bytes = 20;
constexpr std::size_t address_assignment_bytes = 20;

// Device reply fields; the module's address is the datagram's source.
constexpr std::size_t device_type_at = 8;  // 2 ASCII characters, "W8" for a wireless module
constexpr std::size_t device_mac_at = 24;  // 6 bytes, first byte first

// Receive buffers: larger than the replies, so that a longer datagram is seen as such.
constexpr std::size_t device_reply_buffer_bytes = 50;
constexpr std::size_t configuration_reply_buffer_bytes = 300;

constexpr std::array<std::uint8_t, query_bytes> device_query{0, 0, 0, device_query_command};
constexpr std::array<std::uint8_t, query_bytes> configuration_query{0, 0, 0, configuration_query_command};

// True when bytes begin 00 00 00 command.
constexpr bool has_header(std::span<const std::uint8_t> bytes, std::uint8_t command) {
  return bytes.size() >= header_bytes && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == command;
}

// The replies a search accepts: exactly their length and their header.
constexpr bool is_device_reply(std::span<const std::uint8_t> bytes) {
  return bytes.size() == device_reply_bytes && has_header(bytes, device_reply_command);
}
constexpr bool is_configuration_reply(std::span<const std::uint8_t> bytes) {
  return bytes.size() == configuration_reply_bytes && has_header(bytes, configuration_reply_command);
}

}  // namespace discovery
