#include "polling/reading_decoders.h"

#include "polling/append_format.h"
#include "polling/query_frames.h"
#include "ui/texts/polling.h"

namespace polling {

namespace {

bool fits(std::span<const std::uint8_t> text, std::size_t offset, std::size_t characters) {
  return offset <= text.size() && characters <= text.size() - offset;
}

std::uint8_t pair_at(std::span<const std::uint8_t> text, std::size_t offset) {
  return hex_pair(text[offset], text[offset + 1]);
}

}  // namespace

std::optional<double> temperature_celsius(std::span<const std::uint8_t> text, std::size_t offset) {
  if (!fits(text, offset, 4)) return std::nullopt;
  const int high = pair_at(text, offset);
  const int low = pair_at(text, offset + 2);
  if (high == 0xFF && low == 0xFF) return std::nullopt;
  int sixteenths = (high & 0x07) * 256 + low;
  if (high & 0x08) sixteenths = -sixteenths;
  return sixteenths * 0.0625;
}

std::optional<double> humidity_percent(std::span<const std::uint8_t> text, std::size_t offset) {
  if (!fits(text, offset, 4)) return std::nullopt;
  const int high = pair_at(text, offset);
  const int low = pair_at(text, offset + 2);
  if (high == 0xFF && low == 0xFF) return std::nullopt;
  return (256 * high + low) * 0.1;
}

std::optional<std::uint8_t> digital_inputs(std::span<const std::uint8_t> text, std::size_t offset) {
  if (!fits(text, offset, 2)) return std::nullopt;
  // Raw 0xFF bytes, not the characters "FF": the record of a failed reading.
  if (text[offset] == 0xFF && text[offset + 1] == 0xFF) return std::nullopt;
  return pair_at(text, offset);
}

void temperature_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 4)) return;
  const std::optional<double> celsius = temperature_celsius(text, offset);
  if (celsius) {
    append_format(line, ui::texts::temperature_field, *celsius);
  } else {
    line += ui::texts::temperature_missing;
  }
}

void humidity_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 4)) return;
  const std::optional<double> percent = humidity_percent(text, offset);
  if (percent) {
    append_format(line, ui::texts::humidity_field, *percent);
  } else {
    line += ui::texts::humidity_missing;
  }
}

void digital_input_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 2)) return;
  const std::optional<std::uint8_t> inputs = digital_inputs(text, offset);
  if (!inputs) {
    line += ui::texts::inputs_missing;
    return;
  }
  const InputGroups groups = input_groups(*inputs);
  append_format(line, ui::texts::inputs_field, groups.di5_di4, groups.di3_di0);
}

InputGroups input_groups(std::uint8_t inputs) {
  auto bit = [inputs](int n) { return (inputs >> n) & 1; };
  return {bit(5) * 10 + bit(4), bit(3) * 1000 + bit(2) * 100 + bit(1) * 10 + bit(0)};
}

}  // namespace polling
