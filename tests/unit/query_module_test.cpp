#include "polling/query_module.h"

#include <gtest/gtest.h>

#include "platform/ipv4_address.h"
#include "polling/polling_cycle.h"
#include "polling/query_frames.h"
#include "support/fake_wait_clock.h"
#include "unit/loopback_module.h"

namespace {

using test::Bytes;

TEST(QueryModule, WaitBeforeReadByBaudIndex) {
  const struct {
    bool snmp;
    int baud_index, request, reply, wait_ms;
  } cases[] = {
      {false, 0, 17, 26, 61},    // 38400: d / 2 + 40, halved as an integer
      {false, 4, 17, 27, 340},   // 2400: 5d + 120
      {false, 11, 17, 27, 100},  // not in the table
      {true, 4, 45, 70, 10},     // SNMP whatever the rate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(polling::wait_before_read_ms(c.snmp, c.baud_index, c.request, c.reply), c.wait_ms) << c.baud_index;
  }
}

TEST(QueryModule, ReceiveTimeout) {
  const struct {
    bool remote, wireless;
    long seconds, microseconds;
  } cases[] = {{false, false, 0, 200'000}, {false, true, 0, 800'000}, {true, false, 3, 200'000}, {true, true, 3, 800'000}};
  for (const auto& c : cases) {
    const polling::ReceiveTimeout t = polling::receive_timeout(c.remote, c.wireless);
    EXPECT_EQ(t.seconds, c.seconds);
    EXPECT_EQ(t.microseconds, c.microseconds);
  }
}

const std::string standard_reply = ":0004080071017801C800330E\r\n";

// One module at 127.0.0.1 in row 0, wired, 57600 bits/s; sleeps are recorded, not slept.
struct OneModule {
  discovery::ModuleTable modules;
  polling::PollingTable polling;
  test::FakeWaitClock clock;
  polling::QuerySettings settings{clock, 1, {}};
  const std::vector<int>& sleeps = clock.sleeps_ms();

  OneModule(std::uint8_t mode, std::uint16_t port, const polling::RemoteMode& remote = {}) {
    settings.remote = remote;
    modules.shown_count = 1;
    modules.rows[0].sensor_module = true;
    modules.rows[0].work_mode = mode;
    modules.rows[0].ip = platform::Ipv4Address::from_octets(127, 0, 0, 1);
    modules.rows[0].port = port;
    settings.baud_index = 9;
    polling::open_polling_sockets(modules, polling, settings);
  }
  int query() { return polling::query_module(0, polling::standard_reading_request(), 27, modules, polling, settings); }
};

TEST(QueryModule, UdpExchanges) {
  const Bytes reply = test::bytes_of(standard_reply);
  const Bytes oversize = test::bytes_of(standard_reply + "X");
  const struct {
    const char* what;
    test::ReplyScript script;
    int result;
    std::size_t requests;
    std::vector<int> sleeps;
  } cases[] = {
      {"answers at once", [&](int, const Bytes&) { return test::Replies{reply}; }, 27, 1, {100}},
      {"answers the second attempt", [&](int k, const Bytes&) { return k == 1 ? test::Replies{reply} : test::Replies{}; },
       27, 2, {100, 200, 100}},
      {"silent", [](int, const Bytes&) { return test::Replies{}; }, polling::query_timeout, 3,
       {100, 200, 100, 200, 100, 200}},
      {"short reply", [&](int, const Bytes&) { return test::Replies{Bytes(reply.begin(), reply.begin() + 20)}; }, 20, 1, {100}},
      {"oversize, then the reply", [&](int, const Bytes&) { return test::Replies{oversize, reply}; }, 27, 1, {100, 30}},
      {"always oversize", [&](int, const Bytes&) { return test::Replies{oversize}; }, polling::query_receive_failed, 3,
       {100, 30, 200, 100, 30, 200, 100, 30, 200}},
      {"empty datagram", [](int, const Bytes&) { return test::Replies{Bytes{}}; }, polling::query_peer_closed, 3,
       {100, 200, 100, 200, 100, 200}},
  };
  for (const auto& c : cases) {
    test::LoopbackModule module(test::Transport::udp, c.script);
    OneModule m(discovery::udp, module.port());
    EXPECT_EQ(m.query(), c.result) << c.what;
    EXPECT_EQ(m.sleeps, c.sleeps) << c.what;
    const auto requests = module.requests();
    EXPECT_EQ(requests.size(), c.requests) << c.what;
    for (const Bytes& r : requests) EXPECT_EQ(r, test::bytes_of(":000450000008A4\r\n")) << c.what;
    if (c.result == 27) {
      EXPECT_EQ(Bytes(m.polling.receive_buffer.begin(), m.polling.receive_buffer.begin() + 27), reply) << c.what;
    }
  }
}

// A TCP module that answers is polled in the LAN tests; one that closes is not.
TEST(QueryModule, TcpPeerThatClosesIsRetriedThenReported) {
  test::LoopbackModule closing(test::Transport::tcp_half_closed, [](int, const Bytes&) { return test::Replies{}; });
  OneModule c(discovery::tcp, closing.port());
  EXPECT_EQ(c.query(), polling::query_peer_closed);
  EXPECT_EQ(c.sleeps, (std::vector<int>{100, 200, 100, 200, 100, 200}));
}

TEST(QueryModule, RemoteModeAsksTheRemoteAddress) {
  test::LoopbackModule module(test::Transport::udp, [](int, const Bytes&) { return test::Replies{test::bytes_of(standard_reply)}; });
  const auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);
  OneModule m(discovery::udp, module.port(), {true, loopback, loopback});
  m.modules.rows[0].ip = {};
  EXPECT_EQ(m.query(), 27);
  EXPECT_EQ(m.sleeps, (std::vector<int>{100, 30}));  // datagrams from afar get 30 ms more
}

TEST(QueryModule, NothingIsSentWhileTheSocketsAreClosed) {
  test::LoopbackModule module(test::Transport::udp, [](int, const Bytes&) { return test::Replies{test::bytes_of(standard_reply)}; });
  OneModule m(discovery::udp, module.port());
  m.polling.sockets_open = false;
  EXPECT_EQ(m.query(), polling::query_not_open);
  EXPECT_TRUE(m.sleeps.empty());
  EXPECT_TRUE(module.requests().empty());
}

}  // namespace
