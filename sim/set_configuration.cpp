#include "set_configuration.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace sim {

std::optional<ConfigurationRecord> parse_set_configuration(std::span<const std::uint8_t> d) {
  if (d.size() != 4 + record_size_bytes || d[0] != 0 || d[1] != 0 || d[2] != 0 || d[3] != 0xFD) return std::nullopt;
  ConfigurationRecord record;
  std::copy(d.begin() + 4, d.end(), record.begin());
  return record;
}

std::vector<std::uint8_t> encode_set_configuration_ack() { return {0, 0, 0, 0xFB}; }

std::string changed_offsets_text(const ConfigurationRecord& before, const ConfigurationRecord& after) {
  std::string text = "offsets";
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) text += " " + std::to_string(i);
  }
  return text;
}

std::string hex_text(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
}

}  // namespace sim
