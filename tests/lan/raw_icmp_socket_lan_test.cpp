// The raw ICMP socket and the echo probe over it, on the loopback interface of a network
// namespace private to the test thread, whose kernel answers the echo requests.
#include "platform/raw_icmp_socket.h"

#include <gtest/gtest.h>


#include "lan/private_network.h"
#include "support/arp_test_frames.h"
#include "tools/icmp_probe.h"
#include "tools/send_echo.h"

namespace {

using test::ipv4;

netenv::AdapterTable loopback_table() {
  netenv::AdapterTable table;
  table.address_count = 1;
  table.addresses[0] = {ipv4("127.0.0.1"), ipv4("255.0.0.0"), 0};
  return table;
}

TEST(RawIcmpSocket, OpensBoundOrSaysWhichStepFailed) {
  test::in_private_network({}, [] {
    platform::RawSocketOpening opened = platform::open_raw_icmp_socket(ipv4("127.0.0.1"));
    EXPECT_EQ(opened.status, 0);
    EXPECT_TRUE(opened.socket.valid());

    platform::RawSocketOpening foreign = platform::open_raw_icmp_socket(ipv4("203.0.113.77"));
    EXPECT_EQ(foreign.status, platform::raw_socket_bind_failed);
    EXPECT_NE(foreign.error_number, 0);
    EXPECT_FALSE(foreign.socket.valid());

    ASSERT_TRUE(test::drop_raw_right());
    platform::RawSocketOpening refused = platform::open_raw_icmp_socket(ipv4("127.0.0.1"));
    EXPECT_EQ(refused.status, platform::raw_socket_not_permitted);
    EXPECT_FALSE(refused.socket.valid());
  });
}

TEST(RawIcmpSocket, EchoProbeGetsTheKernelsThreeReplies) {
  test::in_private_network({}, [] {
    netenv::AdapterTable table = loopback_table();
    platform::SystemWaitClock clock;
    tools::SystemIcmpLink icmp(clock);
    // The socket also sees its own requests go by; they are not replies.
    EXPECT_EQ(tools::echo_probe(table, icmp, 0, ipv4("127.0.0.1")), 3);
    EXPECT_EQ(tools::send_echo(table, icmp, 0, ipv4("127.0.0.1")), 0);
    ASSERT_TRUE(test::drop_raw_right());
    EXPECT_EQ(tools::echo_probe(table, icmp, 0, ipv4("127.0.0.1")), tools::echo_not_permitted);
    EXPECT_EQ(tools::send_echo(table, icmp, 0, ipv4("127.0.0.1")), tools::send_echo_not_permitted);
  });
}

}  // namespace
