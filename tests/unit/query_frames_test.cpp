#include "polling/query_frames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& frame) { return Bytes(frame.begin(), frame.end()); }

TEST(QueryFrames, TextRequestsMatchTheGoldenFrames) {
  EXPECT_EQ(bytes_of(polling::standard_reading_request()), bytes_of(":000450000008A4\r\n"));
  EXPECT_EQ(bytes_of(polling::extended_reading_request()), bytes_of(":00045080000824\r\n"));
}

TEST(QueryFrames, SnmpRequestsMatchTheGoldenBytes) {
  const Bytes head{0x30, 0x27, 0x02, 0x01, 0x00, 0x04, 0x06, 'q', 'u', 'i', 'n', 'e', 'l'};
  Bytes name = head;
  name.insert(name.end(), {0xA0, 0x1A, 0x02, 0x02, 0x00, 0x01, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E,
                           0x30, 0x0C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00, 0x05, 0x00});
  Bytes reading = head;
  reading[1] = 0x2B;
  reading.insert(reading.end(), {0xA0, 0x1E, 0x02, 0x02, 0x00, 0x01, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x12,
                                 0x30, 0x10, 0x06, 0x0C, 0x2B, 0x06, 0x01, 0x04, 0x01, 0xBC, 0x61, 0x01, 0x03, 0x01,
                                 0x05, 0x00, 0x05, 0x00});
  EXPECT_EQ(bytes_of(polling::snmp_name_request()), name);
  EXPECT_EQ(bytes_of(polling::snmp_reading_request()), reading);
}

TEST(QueryFrames, HexPairRule) {
  const struct {
    char high, low;
    std::uint8_t byte;
  } cases[] = {
      {'0', '0', 0x00}, {'7', '1', 0x71}, {'F', 'F', 0xFF}, {'f', 'e', 0xFE}, {'a', 'B', 0xAB},
      {'G', '0', 0x00},  // 'G' counts as 16: 16 x 16 wraps to 0
      {'g', '1', 0x01},  // past 'f' nothing is turned: 0x67 - 0x37 = 0x30, times 16 wraps to 0
      {' ', '0', 0x00},  // below '0' wraps: (0x20 - 0x30) x 16 = 0xF00
  };
  for (const auto& c : cases) {
    EXPECT_EQ(polling::hex_pair(static_cast<std::uint8_t>(c.high), static_cast<std::uint8_t>(c.low)), c.byte)
        << c.high << c.low;
  }
}

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
