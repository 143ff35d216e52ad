// The kernel's interface list, read in a network namespace private to the test thread.
#include "platform/adapters.h"

#include <gtest/gtest.h>

#include "lan/private_network.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(AdapterListing, KernelInterfacesThatAreUpInIndexOrderWithoutLoopback) {
  platform::AdapterListing listing;
  test::in_private_network({
      "ip tuntap add dev qvt0 mode tun",
      "ip link add qvz0 index 10 type bridge",
      "ip link set qvz0 address 02:00:00:00:00:0a",
      "ip addr add 10.9.0.1/24 dev qvz0",
      "ip addr add 10.9.1.1/30 dev qvz0 label qvz0:1",
      "ip link add qva0 index 20 type bridge",
      "ip link add qvd0 index 30 type bridge",
      "ip addr add 10.9.2.1/24 dev qvd0",
      "ip link set qvt0 up",
      "ip link set qvz0 up",
      "ip link set qva0 up",
  }, [&] { listing = platform::list_adapters(); });
  ASSERT_EQ(listing.status, 0);
  const auto& adapters = listing.adapters;
  ASSERT_EQ(adapters.size(), 3u);

  EXPECT_EQ(adapters[0].name, "qvt0");
  EXPECT_EQ(adapters[0].type, platform::adapter_type_other);
  EXPECT_EQ(adapters[0].mac, (std::array<std::uint8_t, 6>{}));
  EXPECT_EQ(adapters[0].addresses, (Pairs{{"0.0.0.0", "0.0.0.0"}}));

  EXPECT_EQ(adapters[1].name, "qvz0");
  EXPECT_EQ(adapters[1].type, platform::adapter_type_ethernet);
  EXPECT_EQ(adapters[1].mac, (std::array<std::uint8_t, 6>{0x02, 0, 0, 0, 0, 0x0a}));
  EXPECT_EQ(adapters[1].addresses, (Pairs{{"10.9.0.1", "255.255.255.0"}, {"10.9.1.1", "255.255.255.252"}}));

  EXPECT_EQ(adapters[2].name, "qva0");
  EXPECT_EQ(adapters[2].type, platform::adapter_type_ethernet);
  EXPECT_EQ(adapters[2].addresses, (Pairs{{"0.0.0.0", "0.0.0.0"}}));
}

}  // namespace
