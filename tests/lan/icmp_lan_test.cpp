// The ICMP probes from the PC's namespace: echo replies of live hosts through the raw
// socket, a silent address, and the router's real "network unreachable" seen by capture.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/ipv4_address.h"
#include "support/arp_test_frames.h"
#include "support/fake_wait_clock.h"
#include "tools/captured_reply_probe.h"
#include "tools/icmp_probe.h"
#include "virtual_internet.h"

namespace {

using test::ipv4;
using Clock = std::chrono::steady_clock;

class IcmpLan : public test::VirtualInternetTest {};

TEST_F(IcmpLan, EchoProbeCountsTheRepliesOfLiveHostsAndWaitsThreeTimesForASilentAddress) {
  test::PcView view;
  view.build();
  struct Case {
    int entry;
    const char* target;
  };
  // Modules on both subnets, and a site beyond the masquerading router.
  for (const Case& c : {Case{0, "192.168.1.100"}, Case{2, "192.168.5.20"}, Case{1, "203.0.113.12"}}) {
    EXPECT_EQ(tools::echo_probe(view.adapters, view.icmp, c.entry, ipv4(c.target)), 3) << c.target;
  }
  // Nothing in the LAN has this address.
  test::FakeWaitClock clock(0);
  tools::SystemIcmpLink icmp(clock);
  EXPECT_EQ(tools::echo_probe(view.adapters, icmp, 0, ipv4("192.168.1.77")), 0);
  EXPECT_EQ(clock.tick_count_ms(), 3u * 2200u);
}

TEST_F(IcmpLan, CapturedReplyProbeSeesTheRoutersNetworkUnreachable) {
  test::PcView view;
  view.build();
  rawlink::RawEthernet raw = view.raw();
  struct Case {
    const char* name;
    int entry;
    const char* target;
    int result;
  };
  const Case cases[] = {
      {"everything through the unreachable leg", 2, "203.0.113.10", 0},
      {"an address the router has no route to", 0, "203.0.113.200", 0},
      {"a site the router reaches", 0, "203.0.113.10", tools::report_not_seen},
  };
  for (const Case& c : cases) {
    auto started = Clock::now();
    EXPECT_EQ(tools::captured_reply_probe(raw, view.icmp, c.entry, ipv4(c.target)), c.result) << c.name;
    // A report is seen in the first pass; without one all ten passes run.
    auto elapsed = Clock::now() - started;
    if (c.result == 0) EXPECT_LT(elapsed, std::chrono::milliseconds(500)) << c.name;
    else EXPECT_GE(elapsed, std::chrono::milliseconds(10 * tools::report_pause_ms)) << c.name;
  }
}

}  // namespace
