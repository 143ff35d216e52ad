#include "polling/polling_cycle.h"

#include <gtest/gtest.h>
#include <poll.h>

#include "platform/ipv4_address.h"
#include "support/fake_wait_clock.h"
#include "support/loopback_socket.h"

namespace {

// Sensor modules at 127.0.0.1 listed in row order, on a fake clock that records the sleeps.
struct Modules {
  discovery::ModuleTable modules;
  polling::PollingTable polling;
  test::FakeWaitClock clock;
  polling::QuerySettings settings{clock, 1, {}};
  const std::vector<int>& sleeps = clock.sleeps_ms();
  void add(std::uint8_t mode, std::uint16_t port) {
    const int row = modules.shown_count++;
    modules.display_order[row] = row;
    modules.rows[row].sensor_module = true;
    modules.rows[row].work_mode = mode;
    modules.rows[row].ip = platform::Ipv4Address::from_octets(127, 0, 0, 1);
    modules.rows[row].port = port;
  }
  void cycle(bool first) { polling::polling_cycle(first, modules, polling, settings); }
};

TEST(PollingCycle, UnreachableModulesAreNeverQueried) {
  // A bound socket that does not listen refuses connections.
  platform::SocketHandle refusing = test::loopback_socket(SOCK_STREAM);
  platform::SocketHandle unprobed = test::loopback_socket(SOCK_DGRAM);
  const auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);

  Modules m;
  m.add(discovery::tcp, test::local_port(refusing.fd()));
  m.add(discovery::udp, test::local_port(unprobed.fd()));
  m.add(discovery::audp, test::local_port(unprobed.fd()));
  std::vector<platform::Ipv4Address> probed;
  auto probe = [&](platform::Ipv4Address ip) {
    probed.push_back(ip);
    return probed.size() == 1;  // only the TCP module answers the probe
  };
  ASSERT_EQ(polling::open_polling_sockets(m.modules, m.polling, m.settings, probe), 0);
  EXPECT_TRUE(m.polling.sockets_open);
  EXPECT_EQ(probed, (std::vector<platform::Ipv4Address>{loopback, loopback}));
  EXPECT_FALSE(m.polling.rows[0].socket.valid());  // connect refused
  EXPECT_TRUE(m.polling.rows[1].socket.valid());   // kept until the close
  for (int row = 0; row < 3; ++row) EXPECT_EQ(m.polling.rows[row].connected, polling::not_pollable) << row;

  m.cycle(true);
  m.cycle(false);
  EXPECT_TRUE(m.sleeps.empty());
  pollfd nothing_sent{unprobed.fd(), POLLIN, 0};
  EXPECT_EQ(::poll(&nothing_sent, 1, 0), 0);

  polling::close_polling_sockets(m.polling);
  polling::close_polling_sockets(m.polling);
  EXPECT_FALSE(m.polling.sockets_open);
  for (const polling::PollingRow& row : m.polling.rows) {
    EXPECT_EQ(row.connected, polling::no_sockets);
    EXPECT_FALSE(row.socket.valid());
  }
}

TEST(PollingCycle, RemoteModeOpen) {
  const auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);
  const struct {
    std::uint8_t mode;
    platform::Ipv4Address local_ip;
    int result;
  } cases[] = {
      {discovery::udp, loopback, 0},
      {discovery::atcp, loopback, polling::open_no_remote_socket},
      {discovery::udp, platform::Ipv4Address::from_octets(0, 0, 0, 1), polling::open_bind_failed},  // 0.0.0.1: no address here
  };
  for (const auto& c : cases) {
    Modules m;
    m.add(c.mode, 10050);
    m.modules.rows[0].ip = {};  // only the remote address is used
    m.settings.remote = {true, loopback, c.local_ip};
    EXPECT_EQ(polling::open_polling_sockets(m.modules, m.polling, m.settings), c.result);
    EXPECT_EQ(m.polling.sockets_open, c.result == 0);
  }
}

}  // namespace
