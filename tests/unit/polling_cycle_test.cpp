#include "polling/polling_cycle.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

#include "platform/ipv4_address.h"
#include "platform/udp_socket.h"

#include "polling/query_frames.h"
#include "polling/reading_lines.h"
#include "support/fake_wait_clock.h"
#include "unit/loopback_module.h"

namespace {

using test::Bytes;

// Sensor modules at 127.0.0.1 listed in row order; 38400 bits/s; on a fake clock that records the sleeps.
struct Modules {
  discovery::ModuleTable modules;
  polling::PollingTable polling;
  test::FakeWaitClock clock;
  polling::QuerySettings settings{clock, 1, {}};
  const std::vector<int>& sleeps = clock.sleeps_ms();

  Modules() {
    settings.baud_index = 0;
  }
  void add(std::uint8_t mode, std::uint16_t port) {
    const int row = modules.shown_count++;
    modules.display_order[row] = row;
    modules.rows[row].sensor_module = true;
    modules.rows[row].work_mode = mode;
    modules.rows[row].ip = platform::Ipv4Address::from_octets(127, 0, 0, 1);
    modules.rows[row].port = port;
  }
  void cycle(bool first) { polling::polling_cycle(first, modules, polling, settings); }
  std::string line(int position, bool first) { return polling::reading_line(modules, polling, position, first); }
};

TEST(PollingCycle, UnreachableModulesAreNeverQueried) {
  // A bound socket that does not listen refuses connections.
  platform::SocketHandle refusing(::socket(AF_INET, SOCK_STREAM, 0));
  test::LoopbackModule unprobed(test::Transport::udp, [](int, const Bytes&) { return test::Replies{}; });
  const auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);
  ASSERT_TRUE(platform::bind_ipv4(refusing.fd(), loopback, 0));
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(refusing.fd(), reinterpret_cast<sockaddr*>(&address), &length);

  Modules m;
  m.add(discovery::tcp, ntohs(address.sin_port));
  m.add(discovery::udp, unprobed.port());
  m.add(discovery::audp, unprobed.port());
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
  EXPECT_TRUE(unprobed.requests().empty());
  EXPECT_EQ(m.line(0, false), "01 --<无法与模块建立连接!>--");
  EXPECT_EQ(m.line(2, false), "03 --< 模块当前为主动上传模式 >--");

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

// SNMP modules answer on UDP 161: these cases need the privilege to bind it on loopback.
std::unique_ptr<test::LoopbackModule> snmp_module(test::ReplyScript script) {
  auto module = std::make_unique<test::LoopbackModule>(test::Transport::udp, std::move(script), polling::snmp_port);
  return module->port() == polling::snmp_port ? std::move(module) : nullptr;
}

Bytes name_reply(const std::string& name_and_rest) {
  Bytes reply(60, 0x04);
  std::copy(name_and_rest.begin(), name_and_rest.end(), reply.begin() + 20);
  return reply;
}

Bytes reading_reply(std::uint8_t value_length) {
  Bytes reply(49, 0x00);
  reply[43] = 0x02;
  reply[44] = value_length;
  reply[45] = 0x15, reply[46] = 0x26, reply[47] = 0x42, reply[48] = 0x10;
  return reply;
}

TEST(PollingCycle, SnmpRows) {
  const struct {
    const char* what;
    Bytes name_reply;
    std::uint8_t value_length;
    std::string first_line, second_line;
  } cases[] = {
      {"named", name_reply("9A1 rest"), 4, "01--( 9A1  ) +21.400℃/38.2%RH  DI[5->0]: < 01 - 0000 > ",
       "01--( 9A1  ) +21.400℃/38.2%RH  DI[5->0]: < 01 - 0000 > "},
      {"no space within 20 bytes", name_reply("9123456789ABCDEFGHIJ "), 4, "01---<无响应数据!>---",
       "01---<无响应数据!>---"},
      {"no values", name_reply("9A1 rest"), 3, "01--( 9A1  ) ---.---℃/--.-%RH  DI[5->0]: < -- ---- >",
       "01--( 9A1  ) ---.---℃/--.-%RH  DI[5->0]: < -- ---- >"},
  };
  for (const auto& c : cases) {
    const auto name_frame = polling::snmp_name_request();
    const Bytes name_request(name_frame.begin(), name_frame.end());
    auto module = snmp_module([&](int, const Bytes& request) {
      return test::Replies{request == name_request ? c.name_reply : reading_reply(c.value_length)};
    });
    if (!module) FAIL() << "binding UDP 161 on loopback needs root: run the tests as root";
    Modules m;
    m.add(discovery::snmp, 10050);  // SNMP goes to 161 whatever the data port
    polling::open_polling_sockets(m.modules, m.polling, m.settings);
    m.polling.rows[0].extended = true;
    m.cycle(true);
    EXPECT_FALSE(m.polling.rows[0].extended) << c.what;
    EXPECT_EQ(m.polling.rows[0].status, 1) << c.what;
    EXPECT_EQ(m.line(0, true), c.first_line) << c.what;
    m.cycle(false);  // the name is read only once
    EXPECT_EQ(m.line(0, false), c.second_line) << c.what;
    EXPECT_EQ(module->requests().size(), 3u) << c.what;
    EXPECT_EQ(m.sleeps, (std::vector<int>{10, 2, 10, 2, 10, 2})) << c.what;
  }
}

}  // namespace
