#pragma once
// The data port's text frames.
//
// Request (17 bytes): ":" station function(04) register(hi lo) count(hi lo) LRC, as hex pairs, CR LF.
//   register 0x5000: standard reading, answered with 27 bytes (8 data bytes);
//   register 0x5080: extended reading, answered with 43 bytes (16 data bytes).
// Reply: ":" station 04 N D0..D(N-1) LRC CR LF, every byte as two hex digits; the LRC is the
// two's complement of the 8-bit sum of the bytes from the station to the last data byte.
// Data bytes: D1 firmware, D2 D3 temperature (0.0625 degree counts, sign in bit 3 of D2,
// FF FF when not available), D4 D5 humidity in tenths of a percent, D7 capability,
// D8 digital inputs DI5..DI0 (extended only); the others are zero.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "module_config.h"

namespace sim {

enum class ReadingRequest { standard, extended };

struct ParsedReadingRequest {
  ReadingRequest kind;
  std::uint8_t station;
};

std::optional<ParsedReadingRequest> parse_reading_request(std::span<const std::uint8_t> frame);

// Firmware that announces the extended reading (D1 >= 0x70 and D7 >= 0x33) answers it; older
// firmware ignores the request.
bool answers_extended_reading(const ModuleConfig& config);

std::array<std::uint8_t, 2> encode_temperature(std::optional<double> degrees);
std::array<std::uint8_t, 2> encode_humidity(std::optional<double> percent);

// The reply the module sends, with its text faults (lower-case hex, wrong LRC, forced length) applied.
std::vector<std::uint8_t> encode_reading_reply(const ParsedReadingRequest& request, const ModuleConfig& config);

}  // namespace sim
