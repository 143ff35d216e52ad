#include "platform/ipv4_address.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using platform::Ipv4Address;

TEST(Ipv4Address, DottedTextAndBothByteOrders) {
  const auto parsed = Ipv4Address::parse("192.168.1.10");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->dotted(), "192.168.1.10");
  EXPECT_EQ(parsed->host_order(), 0xC0A8010Au);
  // Network order keeps the first octet in the lowest-addressed byte, as sockaddr_in does.
  const std::uint32_t network = parsed->network_order();
  std::uint8_t bytes[4];
  std::memcpy(bytes, &network, sizeof bytes);
  EXPECT_EQ(bytes[0], 192);
  EXPECT_EQ(bytes[3], 10);
  EXPECT_EQ(Ipv4Address::from_network_order(network), *parsed);
  EXPECT_EQ(parsed->octet(2), 1);
  EXPECT_LT(Ipv4Address::from_octets(10, 255, 255, 255), Ipv4Address::from_octets(11, 0, 0, 0));
}

TEST(Ipv4Address, TextThatIsNoAddressIsRefused) {
  for (const char* text : {"", "192.168.1", "192.168.1.256", "192.168.1.1.", "1.2.3.4 ", "a.b.c.d", "-1.0.0.0"})
    EXPECT_FALSE(Ipv4Address::parse(text)) << text;
}

// The mask operators and same_subnet decide the local-subnet rules of CheckAddress.
TEST(Ipv4Address, ClassMasks) {
  EXPECT_EQ(platform::class_mask(Ipv4Address::from_octets(127, 0, 0, 1)), Ipv4Address::from_octets(255, 0, 0, 0));
  EXPECT_EQ(platform::class_mask(Ipv4Address::from_octets(191, 0, 0, 1)), Ipv4Address::from_octets(255, 255, 0, 0));
  EXPECT_EQ(platform::class_mask(Ipv4Address::from_octets(223, 0, 0, 1)), Ipv4Address::from_octets(255, 255, 255, 0));
  EXPECT_TRUE(platform::class_mask(Ipv4Address::from_octets(224, 0, 0, 1)).is_zero());
}

}  // namespace
