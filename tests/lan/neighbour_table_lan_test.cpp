// The kernel's ARP resolution from the PC's namespace of a virtual LAN to a peer's kernel.
#include "platform/neighbour_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/wait_clock.h"
#include "support/arp_test_frames.h"
#include "support/fake_wait_clock.h"
#include "support/virtual_lan.h"

namespace {

using test::ipv4;

TEST(NeighbourTable, ResolvesAnswersAndNothingElse) {
  test::VirtualLanAtPc lan(test::LanTopology("192.0.2.1/24").add_module({"peer", 1, "02:51:00:00:00:02", "192.0.2.2/24", "-", ""}));
  ASSERT_TRUE(lan.ok()) << lan.error();
  ASSERT_EQ(std::system("ip neigh add 192.0.2.9 lladdr 02:00:00:00:00:09 dev lan1 nud permanent"), 0);

  // The peer's answer takes real time; the wait for a silent address runs on a fake clock.
  platform::SystemWaitClock real;
  EXPECT_TRUE(platform::resolve_neighbour(real, ipv4("192.0.2.2"), 1000));
  EXPECT_TRUE(platform::resolve_neighbour(real, ipv4("192.0.2.9"), 0));  // a static entry needs no wait

  test::FakeWaitClock fake;
  const std::uint32_t start_ms = fake.tick_count_ms();
  EXPECT_FALSE(platform::resolve_neighbour(fake, ipv4("192.0.2.3"), 300));
  const std::uint32_t waited_ms = fake.tick_count_ms() - start_ms;
  EXPECT_GE(waited_ms, 300u);
  EXPECT_LT(waited_ms, 400u);
  EXPECT_FALSE(platform::resolve_neighbour(fake, ipv4("127.0.0.1"), 0));
}

}  // namespace
