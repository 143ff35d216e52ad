// The module's answers to the configuration writes; the requests are checked by the emulator
// in the parameter-settings LAN tests.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "config/set_configuration.h"
#include "config/wireless_frames.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr config::MacTail tail{0x12, 0x34};

TEST(SetConfigurationFrames, AcknowledgementIsByteThreeFB) {
  struct Case {
    Bytes datagram;
    bool ack;
  } cases[] = {
      {{0, 0, 0, 0xFB}, true},
      {{0x55, 0x66, 0x77, 0xFB, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, true},  // only byte 3 counts
      {{0, 0, 0, 0xFD}, false},
      {{0, 0, 0xFB}, false},  // too short to have a byte 3
      {{}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(config::is_set_configuration_ack(c.datagram), c.ack) << c.datagram.size();
}

config::WirelessBlock sample_block() {
  config::WirelessBlock block{};
  block[0] = 0x0F;
  block[100] = 0x33;
  block[196] = 0xF0;
  return block;
}

Bytes valid_reply() {
  Bytes reply(257, 0);
  reply[1] = 0xE8;
  reply[2] = tail[0];
  reply[3] = tail[1];
  reply[5] = 0x0F;
  reply[105] = 0x33;
  reply[201] = 0xF0;
  reply[250] = 0x01;  // the unused tail takes part in the checksum
  reply[4] = 0x0F ^ 0x33 ^ 0xF0 ^ 0x01;
  return reply;
}

TEST(WirelessFrames, ReplyFilterTakesOnlyExactValidReplies) {
  const auto block = config::parse_wireless_reply(valid_reply(), tail);
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(*block, sample_block());

  auto changed = [](auto edit) {
    Bytes r = valid_reply();
    edit(r);
    return r;
  };
  const Bytes refused[] = {
      changed([](Bytes& r) { r.pop_back(); }),                // 256 bytes
      changed([](Bytes& r) { r.push_back(0); }),              // 258 bytes
      changed([](Bytes& r) { r[4] ^= 0x80; }),                // wrong checksum
      changed([](Bytes& r) { r[250] = 0; }),                  // a changed byte behind the block
      changed([](Bytes& r) { r[3] = 0x35; }),                 // another module's tail
      changed([](Bytes& r) { r[1] = 0xD8; }),                 // a write frame
      changed([](Bytes& r) { r[0] = 1; }),
      Bytes{0, 0xE8, 0x12, 0x34},
  };
  for (const Bytes& r : refused) EXPECT_FALSE(config::parse_wireless_reply(r, tail).has_value()) << r.size();
}

TEST(WirelessFrames, WriteAcknowledgementIsExactlyTheFourByteHeader) {
  EXPECT_TRUE(config::is_wireless_write_ack(Bytes{0, 0xD8, 0x12, 0x34}, tail));
  EXPECT_FALSE(config::is_wireless_write_ack(Bytes{0, 0xD8, 0x12, 0x34, 0}, tail));
  EXPECT_FALSE(config::is_wireless_write_ack(Bytes{0, 0xD8, 0x12, 0x35}, tail));
  EXPECT_FALSE(config::is_wireless_write_ack(Bytes{0, 0xE8, 0x12, 0x34}, tail));
  EXPECT_FALSE(config::is_wireless_write_ack(Bytes{0, 0xD8, 0x12}, tail));
}

}  // namespace
