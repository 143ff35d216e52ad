// The check of the packets the presence probe's raw socket catches. The probe itself is read
// by the emulator in the repair LAN tests.
#include <gtest/gtest.h>

#include <vector>

#include "maint/presence_frames.h"

namespace {

const maint::MacTail tail{0x12, 0x34};

// An IPv4 packet (header of ihl words) carrying UDP from source_port with payload.
std::vector<std::uint8_t> packet(std::vector<std::uint8_t> payload, int ihl = 5, int protocol = 17,
                                 std::uint16_t source_port = 59950) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(ihl) * 4, 0);
  p[0] = static_cast<std::uint8_t>(0x40 | ihl);
  p[9] = static_cast<std::uint8_t>(protocol);
  const std::vector<std::uint8_t> udp{static_cast<std::uint8_t>(source_port >> 8),
                                      static_cast<std::uint8_t>(source_port), 0x30, 0x39, 0, 0, 0, 0};
  p.insert(p.end(), udp.begin(), udp.end());
  p.insert(p.end(), payload.begin(), payload.end());
  return p;
}

TEST(PresenceFrames, AcceptsOnlyTheAnswerForTheTail) {
  const std::vector<std::uint8_t> answer{0x00, 0x96, 0x12, 0x34, 192, 168, 1, 20};
  const std::vector<std::uint8_t> full = packet(answer);
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool accepted;
  } cases[] = {
      {"answer", packet(answer), true},
      {"answer with IP options", packet(answer, 6), true},
      {"bare 4-byte answer, 32 bytes", packet({0x00, 0x96, 0x12, 0x34}), true},
      {"27 bytes", std::vector<std::uint8_t>(full.begin(), full.begin() + 27), false},
      {"60 bytes", [&] { auto p = full; p.resize(60); return p; }(), false},
      {"TCP", packet(answer, 5, 6), false},
      {"from another port", packet(answer, 5, 17, 59951), false},
      {"the probe itself", packet({0x00, 0x95, 0x12, 0x34}), false},
      {"another tail", packet({0x00, 0x96, 0x12, 0x35}), false},
  };
  for (const auto& c : cases) EXPECT_EQ(maint::is_presence_answer(c.bytes, tail), c.accepted) << c.name;
}

TEST(PresenceFrames, AHeaderLengthBeyondThePacketReadsNothingPastIt) {
  // 40 bytes whose header claims 60: the payload would lie outside the packet.
  std::vector<std::uint8_t> p(40, 0);
  p[0] = 0x4F;
  p[9] = 17;
  EXPECT_FALSE(maint::is_presence_answer(p, tail));
}

}  // namespace
