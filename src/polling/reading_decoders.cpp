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

void temperature_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 4)) return;
  const int high = pair_at(text, offset);
  const int low = pair_at(text, offset + 2);
  if (high == 0xFF && low == 0xFF) {
    line += ui::texts::temperature_missing;
    return;
  }
  int sixteenths = (high & 0x07) * 256 + low;
  if (high & 0x08) sixteenths = -sixteenths;
  append_format(line, ui::texts::temperature_field, sixteenths * 0.0625);
}

void humidity_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 4)) return;
  const int high = pair_at(text, offset);
  const int low = pair_at(text, offset + 2);
  if (high == 0xFF && low == 0xFF) {
    line += ui::texts::humidity_missing;
    return;
  }
  append_format(line, ui::texts::humidity_field, (256 * high + low) * 0.1);
}

void digital_input_decoder(std::span<const std::uint8_t> text, std::size_t offset, std::string& line) {
  if (!fits(text, offset, 2)) return;
  // Raw 0xFF bytes, not the characters "FF": the record of a failed reading.
  if (text[offset] == 0xFF && text[offset + 1] == 0xFF) {
    line += ui::texts::inputs_missing;
    return;
  }
  const InputGroups groups = input_groups(pair_at(text, offset));
  append_format(line, ui::texts::inputs_field, groups.di5_di4, groups.di3_di0);
}

InputGroups input_groups(std::uint8_t inputs) {
  auto bit = [inputs](int n) { return (inputs >> n) & 1; };
  return {bit(5) * 10 + bit(4), bit(3) * 1000 + bit(2) * 100 + bit(1) * 10 + bit(0)};
}

}  // namespace polling
