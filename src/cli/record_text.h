#pragma once
// The pieces of the machine-readable formats: a CSV field (RFC 4180), a JSON string, an
// ISO 8601 local time with its offset, bytes as hexadecimal text.
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>

namespace cli {

// The field as is, or in double quotes (quotes doubled) when it holds a comma, a quote,
// CR or LF, or begins or ends with a blank.
std::string csv_field(const std::string& text);

// A JSON string literal: quotes, backslash and control characters escaped; bytes that are
// not valid UTF-8 become U+FFFD, so the output always parses.
std::string json_string(const std::string& text);

// "2016-07-20T14:05:09+08:00": local time with the offset it carries.
std::string iso8601_time(const std::tm& local);

std::string hex_text(std::span<const std::uint8_t> bytes);

// A number with at most `decimals` decimals, or empty / null when there is none.
std::string csv_number(std::optional<double> value, int decimals);
std::string json_number(std::optional<double> value, int decimals);

// DI5..DI0 as six digits, highest input first ("000011"); empty when unknown.
std::string input_bits(std::optional<std::uint8_t> inputs);

}  // namespace cli
