#include "reading_frames.h"

#include <cmath>

namespace sim {
namespace {

constexpr std::size_t request_bytes = 17;
constexpr std::uint8_t read_input_registers = 0x04;
constexpr std::uint16_t standard_register = 0x5000;
constexpr std::uint16_t extended_register = 0x5080;
constexpr double temperature_step_degrees = 0.0625;

int hex_value(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void append_hex(std::vector<std::uint8_t>& out, std::uint8_t byte, bool lower_case) {
  const char* digits = lower_case ? "0123456789abcdef" : "0123456789ABCDEF";
  out.push_back(static_cast<std::uint8_t>(digits[byte >> 4]));
  out.push_back(static_cast<std::uint8_t>(digits[byte & 0x0F]));
}

}  // namespace

std::optional<ParsedReadingRequest> parse_reading_request(std::span<const std::uint8_t> f) {
  if (f.size() != request_bytes || f[0] != ':' || f[15] != '\r' || f[16] != '\n') return std::nullopt;
  std::uint8_t bytes[7];
  std::uint8_t sum = 0;
  for (int i = 0; i < 7; ++i) {
    const int high = hex_value(f[1 + 2 * i]);
    const int low = hex_value(f[2 + 2 * i]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    sum = static_cast<std::uint8_t>(sum + bytes[i]);
  }
  if (sum != 0 || bytes[1] != read_input_registers) return std::nullopt;
  const auto address = static_cast<std::uint16_t>(bytes[2] << 8 | bytes[3]);
  if (address == standard_register) return ParsedReadingRequest{ReadingRequest::standard, bytes[0]};
  if (address == extended_register) return ParsedReadingRequest{ReadingRequest::extended, bytes[0]};
  return std::nullopt;
}

bool answers_extended_reading(const ModuleConfig& c) { return c.firmware_d1 >= 0x70 && c.capability_d7 >= 0x33; }

std::array<std::uint8_t, 2> encode_temperature(std::optional<double> degrees) {
  if (!degrees) return {0xFF, 0xFF};
  const long count = std::lround(std::fabs(*degrees) / temperature_step_degrees);
  const bool negative = *degrees < 0 && count > 0;
  return {static_cast<std::uint8_t>(((count >> 8) & 0x07) | (negative ? 0x08 : 0)),
          static_cast<std::uint8_t>(count & 0xFF)};
}

std::array<std::uint8_t, 2> encode_humidity(std::optional<double> percent) {
  if (!percent) return {0xFF, 0xFF};
  const long tenths = std::lround(*percent * 10);
  return {static_cast<std::uint8_t>(tenths >> 8), static_cast<std::uint8_t>(tenths & 0xFF)};
}

std::vector<std::uint8_t> encode_reading_reply(const ParsedReadingRequest& request, const ModuleConfig& c) {
  const std::size_t count = request.kind == ReadingRequest::standard ? 8 : 16;
  std::vector<std::uint8_t> data(count, 0);
  const auto temperature = encode_temperature(c.temperature_c);
  const auto humidity = encode_humidity(c.humidity_percent);
  data[1] = c.firmware_d1;
  data[2] = temperature[0];
  data[3] = temperature[1];
  data[4] = humidity[0];
  data[5] = humidity[1];
  data[7] = c.capability_d7;
  if (count > 8) data[8] = c.digital_inputs;

  std::vector<std::uint8_t> frame{':'};
  std::uint8_t sum = 0;
  auto put = [&](std::uint8_t byte) {
    append_hex(frame, byte, c.lower_case_hex);
    sum = static_cast<std::uint8_t>(sum + byte);
  };
  put(request.station);
  put(read_input_registers);
  put(static_cast<std::uint8_t>(count));
  for (std::uint8_t byte : data) put(byte);
  const auto lrc = static_cast<std::uint8_t>(-sum + (c.bad_lrc ? 1 : 0));
  append_hex(frame, lrc, c.lower_case_hex);
  frame.push_back('\r');
  frame.push_back('\n');
  if (c.data_reply_length_bytes) frame.resize(*c.data_reply_length_bytes, 0);
  return frame;
}

}  // namespace sim
