#include "polling/snmp_replies.h"

#include <algorithm>

namespace polling {

namespace {

constexpr std::uint8_t name_start = 0x39;
constexpr std::size_t name_window_bytes = 20;
constexpr std::size_t integer_tag_offset = 43;
constexpr std::size_t value_length_offset = 44;
constexpr std::size_t values_offset = 45;

}  // namespace

SnmpName parse_snmp_name(std::span<const std::uint8_t> reply) {
  SnmpName name;
  if (reply.size() < snmp_name_reply_min_bytes) return name;
  auto start = std::find(reply.begin(), reply.end(), name_start);
  if (start == reply.end()) return name;
  auto window = reply.subspan(static_cast<std::size_t>(start - reply.begin()));
  window = window.first(std::min(window.size(), name_window_bytes));
  auto space = std::find(window.begin(), window.end(), ' ');
  if (space == window.end()) return name;
  // The window starts with 0x39, so the space lies at most 19 bytes in.
  name.length = static_cast<int>(space - window.begin());
  std::copy(window.begin(), space, name.bytes.begin());
  return name;
}

SnmpReading parse_snmp_reading(std::span<const std::uint8_t> reply) {
  SnmpReading reading;
  if (reply.size() != snmp_reading_reply_bytes || reply[integer_tag_offset] != 0x02) return reading;
  reading.valid = true;
  if (reply[value_length_offset] == 4) {
    std::copy_n(reply.begin() + values_offset, 4, reading.values.begin());
  } else {
    reading.values.fill(value_not_available);
  }
  return reading;
}

}  // namespace polling
