#pragma once
// The two SNMP replies of a module, read at fixed positions rather than parsed as SNMP.
#include <array>
#include <cstdint>
#include <span>

namespace polling {

constexpr int snmp_name_reply_min_bytes = 54;
constexpr int snmp_name_max_bytes = 19;
constexpr int snmp_reading_reply_bytes = 49;
constexpr std::uint8_t value_not_available = 0xEE;

struct SnmpName {
  std::array<std::uint8_t, snmp_name_max_bytes> bytes{};
  int length = 0;
};

// The name starts at the first byte 0x39 and ends before the first space within the 20
// bytes from there; empty for a reply under 54 bytes, without 0x39 or without that space.
SnmpName parse_snmp_name(std::span<const std::uint8_t> reply);

// V0 temperature (sign in bit 7), V1 humidity, V2 tenths (temperature high nibble,
// humidity low nibble), V3 inputs DI5..DI0.
struct SnmpReading {
  bool valid = false;
  std::array<std::uint8_t, 4> values{};
};

// Valid when exactly 49 bytes with byte 43 = 0x02; the values are bytes 45-48 when byte
// 44 is 4, else all value_not_available.
SnmpReading parse_snmp_reading(std::span<const std::uint8_t> reply);

}  // namespace polling
