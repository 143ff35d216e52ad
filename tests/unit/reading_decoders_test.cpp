#include "polling/reading_decoders.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Decoder = void (*)(std::span<const std::uint8_t>, std::size_t, std::string&);

std::string decode(Decoder decoder, const std::vector<std::uint8_t>& text, std::size_t offset) {
  std::string line = "|";
  decoder(text, offset, line);
  return line;
}

std::vector<std::uint8_t> chars(const std::string& text) { return {text.begin(), text.end()}; }

// Ordinary readings are in the polling LAN test's lines; here the edges and the placeholders.
TEST(ReadingDecoders, Temperature) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"0850", "|-5.000℃/"},
      {"07FF", "|+127.938℃/"},   // largest magnitude, 2047/16
      {"F7FF", "|+127.938℃/"},   // bits above bit 3 of the high byte are ignored
      {"FFFF", "|  ------ /"},
      {"ffff", "|  ------ /"},
      {"FFFE", "|-127.875℃/"},   // only FFFF is the placeholder
  };
  for (const auto& c : cases) EXPECT_EQ(decode(polling::temperature_decoder, chars(c.text), 0), c.shown) << c.text;
}

TEST(ReadingDecoders, Humidity) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"0005", "| 0.5%RH"},
      {"03E8", "|100.0%RH"},
      {"FFFF", "| ------"},
      {"FFFE", "|6553.4%RH"},
  };
  for (const auto& c : cases) EXPECT_EQ(decode(polling::humidity_decoder, chars(c.text), 0), c.shown) << c.text;
}

TEST(ReadingDecoders, DigitalInputs) {
  const struct {
    std::vector<std::uint8_t> text;
    std::string shown;
  } cases[] = {
      {chars("25"), "|  DI[5->0]: < 10 - 0101 >"},
      {chars("C0"), "|  DI[5->0]: < 00 - 0000 >"},  // bits 7 and 6 are no inputs
      {chars("FF"), "|  DI[5->0]: < 11 - 1111 >"},  // the characters FF are a value
      {{0xFF, 0xFF}, "|-<---- ---->"},               // raw 0xFF bytes: a failed reading
  };
  for (const auto& c : cases) EXPECT_EQ(decode(polling::digital_input_decoder, c.text, 0), c.shown);
}

TEST(ReadingDecoders, NeverReadPastTheText) {
  const auto record = chars("MACMACMACMAC0001" "0178" "01C8" "25");
  EXPECT_EQ(decode(polling::temperature_decoder, record, 23), "|");
  EXPECT_EQ(decode(polling::humidity_decoder, record, 25), "|");
  EXPECT_EQ(decode(polling::digital_input_decoder, record, 25), "|");
  EXPECT_EQ(decode(polling::digital_input_decoder, record, 1000), "|");
}

}  // namespace
