#include "polling/query_frames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& frame) { return Bytes(frame.begin(), frame.end()); }

// The SNMP requests are answered by a real agent (the name) and the module emulator (the
// reading) in the polling LAN tests; the text requests' station byte is seen only here.
TEST(QueryFrames, TextRequestsMatchTheGoldenFrames) {
  EXPECT_EQ(bytes_of(polling::standard_reading_request()), bytes_of(":000450000008A4\r\n"));
  EXPECT_EQ(bytes_of(polling::extended_reading_request()), bytes_of(":00045080000824\r\n"));
}

// Hex digits in either case are read by ReplyValidity's lower-case row, the decoders' "ffff"
// and the polling LAN test's lower-case module.
TEST(QueryFrames, ReplyValidity) {
  const std::string standard = ":0004080071017801C800330E\r\n";
  const std::string extended = ":0004100071017801C80033030000000000000003\r\n";
  const struct {
    std::string reply;
    bool valid;
  } cases[] = {
      {standard, true},
      {":0004080071017801c800330e\r\n", true},            // lower-case digits
      {":0004080071017801C800330E\rX", true},             // CR LF not checked
      {":FF04080071017801C800330F\r\n", true},           // station counted in the sum only
      {standard.substr(0, 26), false},                    // 26 bytes
      {standard + "\n", false},                           // 28 bytes
      {"#0004080071017801C800330E\r\n", false},           // no ":"
      {":0004100071017801C800330E\r\n", false},           // count 16 in 27 bytes
      {":0004080071017801C80033030000000000000003\r\n", false},  // count 8 in 43 bytes
      {":0004080071017801C800330F\r\n", false},           // wrong LRC
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(polling::text_reply_valid(bytes_of(c.reply)), c.valid) << c.reply;
}

TEST(QueryFrames, ExtendedReadingOfferedByFirmwareAndCapability) {
  const struct {
    std::string reply;
    bool offered;
  } cases[] = {
      {":0004080070017801C800330F\r\n", true},   // D1 0x70, D7 0x33
      {":000408006F017801C8003310\r\n", false},  // D1 0x6F
      {":0004080070017801C8003210\r\n", false},  // D7 0x32
      {":0004080070017801C80033FF\r\n", true},   // bad LRC: not validated
      {":0004080070017801C800", false},          // too short to hold D7
  };
  for (const auto& c : cases) EXPECT_EQ(polling::offers_extended_reading(bytes_of(c.reply)), c.offered) << c.reply;
}

}  // namespace
