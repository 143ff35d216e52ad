#pragma once
// The reading decoders: hexadecimal reading text to display fields. Polling reads a reply
// record at offsets 11, 15 and 23, the upload server its packed record at 0, 4 and 8.
// Each appends nothing when its characters lie beyond the text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace polling {

// The values the decoders show: nullopt for the not-available pattern and for characters
// beyond the text.
std::optional<double> temperature_celsius(std::span<const std::uint8_t> text, std::size_t offset);
std::optional<double> humidity_percent(std::span<const std::uint8_t> text, std::size_t offset);
std::optional<std::uint8_t> digital_inputs(std::span<const std::uint8_t> text, std::size_t offset);

// 4 characters: "  ------ /" for FFFF, else 11 bits of magnitude in 1/16 degree with the
// sign in bit 3 of the high byte.
void temperature_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line);

// 4 characters: " ------" for FFFF, else tenths of a percent.
void humidity_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line);

// 2 characters: "-<---- ---->" for two 0xFF bytes, else the inputs DI5..DI0.
void digital_input_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line);

// The inputs as two numbers whose decimal digits are the bits: DI5 DI4 and DI3..DI0.
struct InputGroups {
  int di5_di4 = 0;
  int di3_di0 = 0;
};
InputGroups input_groups(std::uint8_t inputs);

}  // namespace polling
