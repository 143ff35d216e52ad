#include "polling/snmp_replies.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// size bytes of 0x01 with text written from offset.
Bytes reply_with(std::size_t size, std::size_t offset, const std::string& text) {
  Bytes reply(size, 0x01);
  for (std::size_t i = 0; i < text.size() && offset + i < size; ++i) reply[offset + i] = static_cast<std::uint8_t>(text[i]);
  return reply;
}

TEST(SnmpReplies, NameExtraction) {
  const std::string nineteen = "9123456789ABCDEFGHI";
  const struct {
    const char* what;
    Bytes reply;
    std::string name;
  } cases[] = {
      {"name before a space", reply_with(54, 30, "9A1 x"), "9A1"},
      {"53 bytes are too short", reply_with(53, 30, "9A1 x"), ""},
      {"no 0x39", reply_with(60, 30, "A1 x"), ""},
      {"first 0x39 counts", reply_with(60, 10, "9X 9Y "), "9X"},
      {"19 bytes then the space", reply_with(60, 10, nineteen + " "), nineteen},
      {"space 20 bytes in is too far", reply_with(60, 10, nineteen + "J "), ""},
      {"reply ends before a space", reply_with(54, 50, "9ABC"), ""},
      {"space right after the start", reply_with(54, 0, "9 "), "9"},
  };
  for (const auto& c : cases) {
    const polling::SnmpName name = polling::parse_snmp_name(c.reply);
    EXPECT_EQ(std::string(name.bytes.begin(), name.bytes.begin() + name.length), c.name) << c.what;
  }
}

TEST(SnmpReplies, ReadingReply) {
  auto reading = [](std::size_t size, std::uint8_t tag, std::uint8_t length) {
    Bytes reply(size, 0x00);
    if (size > 48) {
      reply[43] = tag;
      reply[44] = length;
      reply[45] = 0x95, reply[46] = 0x26, reply[47] = 0x42, reply[48] = 0x10;
    }
    return reply;
  };
  using Values = std::array<std::uint8_t, 4>;
  const Values sent{0x95, 0x26, 0x42, 0x10};
  const Values missing{0xEE, 0xEE, 0xEE, 0xEE};
  const struct {
    const char* what;
    Bytes reply;
    bool valid;
    Values values;
  } cases[] = {
      {"four value bytes", reading(49, 0x02, 4), true, sent},
      {"no four-byte value", reading(49, 0x02, 3), true, missing},
      {"byte 43 not 0x02", reading(49, 0x04, 4), false, {}},
      {"48 bytes", reading(48, 0x02, 4), false, {}},
      {"50 bytes", reading(50, 0x02, 4), false, {}},
      {"empty", Bytes{}, false, {}},
  };
  for (const auto& c : cases) {
    const polling::SnmpReading r = polling::parse_snmp_reading(c.reply);
    EXPECT_EQ(r.valid, c.valid) << c.what;
    if (c.valid) {
      EXPECT_EQ(r.values, c.values) << c.what;
    }
  }
}

}  // namespace
