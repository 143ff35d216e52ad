// Connects to a host that drops SYNs end at their deadline: in a namespace of the test's own
// whose firewall drops every SYN to port 9 of 127.0.0.1.
#include <arpa/inet.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "lan/private_network.h"
#include "platform/timed_connect.h"
#include "polling/polling_cycle.h"
#include "support/fake_wait_clock.h"
#include "tools/page_fetch.h"

namespace {

constexpr std::uint16_t dropped_port = 9;

constexpr auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);

sockaddr_in dropped_address() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = loopback.network_order();
  address.sin_port = htons(dropped_port);
  return address;
}

// The socket wait, the page fetch and the polling sockets, inside the namespace.
void expect_connects_end_at_their_deadline() {
  // In real time: the three seconds and not the kernel's two minutes.
  platform::SystemWaitClock real;
  platform::SocketHandle socket(::socket(AF_INET, SOCK_STREAM, 0));
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::connect_within(real, socket.fd(), dropped_address(), platform::default_connect_wait_s, 0),
            platform::ConnectResult::timeout);
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_GE(waited, std::chrono::seconds(3));
  EXPECT_LT(waited, std::chrono::milliseconds(3500));

  // The page fetch gives its connect failure.
  test::FakeWaitClock fetch_clock(0, 0);
  tools::PageRequest request{loopback, loopback, dropped_port, "GET / HTTP/1.1\r\n\r\n", 10};
  tools::PageResponse response;
  EXPECT_EQ(tools::fetch_page(fetch_clock, request, response), tools::fetch_connect_failed);
  EXPECT_EQ(fetch_clock.tick_count_ms(), 3000u);

  // A TCP module there is not pollable.
  test::FakeWaitClock polling_clock(0, 0);
  discovery::ModuleTable modules;
  modules.shown_count = 1;
  modules.display_order[0] = 0;
  modules.rows[0].sensor_module = true;
  modules.rows[0].work_mode = discovery::tcp;
  modules.rows[0].ip = loopback;
  modules.rows[0].port = dropped_port;
  polling::PollingTable table;
  ASSERT_EQ(polling::open_polling_sockets(modules, table, {polling_clock, 1, {}}), 0);
  EXPECT_EQ(table.rows[0].connected, polling::not_pollable);
  EXPECT_EQ(polling_clock.tick_count_ms(), 3000u);
}

TEST(DroppedSyn, ConnectsEndAtTheirDeadline) {
  const std::string drop_syns = "nft add rule inet qv in tcp dport " + std::to_string(dropped_port) +
                                " tcp flags \\& \\(syn \\| ack\\) == syn drop";
  test::in_private_network(
      {"nft add table inet qv", "nft add chain inet qv in '{ type filter hook input priority 0; }'", drop_syns},
      expect_connects_end_at_their_deadline);
}

}  // namespace
