// Reading the remote module over a fake query socket, and row 0 described by hand.
#include "maint/remote_module.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "discovery/search_result_line.h"
#include "discovery_test_bytes.h"
#include "support/fake_wait_clock.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using discovery_test::network_ip;

const std::uint32_t remote = network_ip("10.77.0.20");
const std::uint32_t local = network_ip("192.168.1.10");

// What the module behind the socket answers to the k-th query sent (counted from 0).
struct Peer {
  std::function<std::vector<Bytes>(const Bytes& query, int k)> replies;
  std::vector<Bytes> sent;
  std::vector<std::uint32_t> sent_to;
  std::deque<Bytes> pending;
  int waits = 0;
  std::uint32_t opened_on = 0;
  bool can_open = true;
};

class FakeSocket final : public maint::QuerySocket {
 public:
  explicit FakeSocket(Peer& peer) : peer_(peer) {}
  bool send(std::uint32_t ip, std::uint16_t port, std::span<const std::uint8_t> bytes) override {
    EXPECT_EQ(port, 30718);
    const Bytes query(bytes.begin(), bytes.end());
    for (Bytes& reply : peer_.replies(query, static_cast<int>(peer_.sent.size()))) peer_.pending.push_back(reply);
    peer_.sent.push_back(query);
    peer_.sent_to.push_back(ip);
    return true;
  }
  platform::WaitResult wait_readable(long seconds, long microseconds) override {
    EXPECT_EQ(seconds * 1000000 + microseconds, 3200000);
    ++peer_.waits;
    return peer_.pending.empty() ? platform::WaitResult::timeout : platform::WaitResult::ready;
  }
  int receive(std::span<std::uint8_t> buffer, platform::Datagram& info) override {
    const Bytes d = peer_.pending.front();
    peer_.pending.pop_front();
    const std::size_t kept = std::min(d.size(), buffer.size());
    std::copy_n(d.begin(), kept, buffer.begin());
    info.length = static_cast<int>(d.size());
    info.source_ip_network = remote;
    return static_cast<int>(kept);
  }

 private:
  Peer& peer_;
};

Bytes of(const auto& array) { return Bytes(array.begin(), array.end()); }

const Bytes configuration = of(discovery_test::tcp_module_reply().record(0, {10, 77, 0, 20}).record(12, {10, 77, 0, 1}).bytes);
const Bytes device = of(discovery_test::device_reply_bytes("W8", {0x00, 0x20, 0x4A, 0x77, 0x00, 0x20}));

bool is_query(const Bytes& query, std::uint8_t command) { return query == Bytes{0, 0, 0, command}; }

struct Rig {
  Peer peer;
  test::FakeWaitClock clock;
  discovery::ModuleTable table;
  int selected_work_mode = 2;

  int read() {
    table.rows[5].ip = 1;  // a row of an earlier search
    table.shown_count = 6;
    auto open = [this](std::uint32_t local_ip) -> std::unique_ptr<maint::QuerySocket> {
      peer.opened_on = local_ip;
      return peer.can_open ? std::make_unique<FakeSocket>(peer) : nullptr;
    };
    return maint::read_remote_module(open, clock, {remote, local, 1, 10050}, table, selected_work_mode);
  }
  int sent(std::uint8_t command) const {
    return static_cast<int>(std::count_if(peer.sent.begin(), peer.sent.end(), [&](const Bytes& q) { return is_query(q, command); }));
  }
};

TEST(ReadRemoteModule, FillsRowZeroFromBothReplies) {
  Rig rig;
  rig.peer.replies = [](const Bytes& q, int) { return std::vector<Bytes>{is_query(q, 0xF8) ? configuration : device}; };
  ASSERT_EQ(rig.read(), 0);
  EXPECT_EQ(rig.peer.opened_on, local);
  EXPECT_EQ(rig.peer.sent, (std::vector<Bytes>{{0, 0, 0, 0xF8}, {0, 0, 0, 0xF6}}));
  EXPECT_EQ(rig.peer.sent_to, (std::vector<std::uint32_t>{remote, remote}));
  EXPECT_EQ(rig.clock.sleeps_ms(), std::vector<int>{30});
  EXPECT_EQ(rig.table.shown_count, 1);
  EXPECT_EQ(rig.table.display_order[0], 0);
  const discovery::ModuleRow& row = rig.table.rows[0];
  EXPECT_EQ(row.ip, discovery_test::host_ip("10.77.0.20"));
  EXPECT_EQ(row.gateway, discovery_test::host_ip("10.77.0.1"));
  EXPECT_EQ(row.port, 10050);
  EXPECT_EQ(row.subnet_index, 1);
  EXPECT_EQ(row.mac, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x4A, 0x77, 0x00, 0x20}));
  EXPECT_TRUE(row.wireless);
  EXPECT_TRUE(row.sensor_module);
  EXPECT_FALSE(row.raw_only || row.outside_subnet || row.dynamic_ip);
  EXPECT_EQ(rig.selected_work_mode, 0);
  EXPECT_EQ(rig.table.rows[5].ip, 0u);  // nothing of the earlier search is left
  EXPECT_FALSE(rig.table.active_module_seen);
}

// A datagram of another length or header is dropped, and the same attempt waits again.
TEST(ReadRemoteModule, WrongRepliesAreDroppedAndTheWaitStartsAgain) {
  Rig rig;
  Bytes long_configuration = configuration;
  long_configuration.push_back(0);
  Bytes wrong_header = device;
  wrong_header[3] = 0xF9;
  rig.peer.replies = [&](const Bytes& q, int) {
    if (is_query(q, 0xF8)) return std::vector<Bytes>{Bytes(configuration.begin(), configuration.end() - 1), long_configuration, configuration};
    return std::vector<Bytes>{wrong_header, device};
  };
  ASSERT_EQ(rig.read(), 0);
  EXPECT_EQ(rig.sent(0xF8), 1);
  EXPECT_EQ(rig.sent(0xF6), 1);
  EXPECT_EQ(rig.peer.waits, 5);
}

TEST(ReadRemoteModule, FailuresNameTheQueryThatGotNoAnswer) {
  const std::uint32_t earlier_ip = 1;
  {
    Rig rig;
    rig.peer.replies = [](const Bytes&, int) { return std::vector<Bytes>{}; };
    EXPECT_EQ(rig.read(), maint::remote_no_configuration);
    EXPECT_EQ(rig.sent(0xF8), 3);
    EXPECT_EQ(rig.sent(0xF6), 0);
    EXPECT_EQ(rig.table.rows[5].ip, earlier_ip);  // the table is left as it was
  }
  {
    Rig rig;  // answers only the configuration query, and that on the third attempt
    rig.peer.replies = [](const Bytes& q, int k) { return is_query(q, 0xF8) && k == 2 ? std::vector<Bytes>{configuration} : std::vector<Bytes>{}; };
    EXPECT_EQ(rig.read(), maint::remote_no_device);
    EXPECT_EQ(rig.sent(0xF8), 3);
    EXPECT_EQ(rig.sent(0xF6), 3);
    EXPECT_EQ(rig.table.rows[5].ip, earlier_ip);
  }
  {
    Rig rig;
    rig.peer.can_open = false;
    EXPECT_EQ(rig.read(), maint::remote_socket_failed);
  }
}

TEST(ReadRemoteModule, AModuleOnAnotherPortOrUploadingIsMarkedSo) {
  Rig rig;
  const Bytes audp_elsewhere = of(discovery_test::tcp_module_reply().record(20, {0x43, 0x27}).record(28, {0xCC, 0x03}).bytes);
  rig.peer.replies = [&](const Bytes& q, int) { return std::vector<Bytes>{is_query(q, 0xF8) ? audp_elsewhere : device}; };
  ASSERT_EQ(rig.read(), 0);
  EXPECT_FALSE(rig.table.rows[0].sensor_module);
  EXPECT_TRUE(rig.table.active_module_seen);
  EXPECT_EQ(rig.selected_work_mode, 3);
}

TEST(RemoteModuleByHand, RowZeroIsAPollableSensorModuleOfTheChosenMode) {
  discovery::ModuleTable table;
  polling::PollingTable polling;
  table.rows[0].mac = {1, 2, 3, 4, 5, 6};
  table.rows[3].sensor_module = true;
  table.shown_count = 4;
  maint::set_remote_module_by_hand(table, polling, 1, discovery::udp);
  const discovery::ModuleRow& row = table.rows[0];
  EXPECT_EQ(table.shown_count, 1);
  EXPECT_TRUE(row.sensor_module && row.snmp_capable);
  EXPECT_FALSE(row.raw_only || table.rows[3].sensor_module);
  EXPECT_EQ(row.work_mode, discovery::udp);
  EXPECT_EQ(row.port, 10050);
  EXPECT_EQ(row.subnet_index, 1);
  EXPECT_EQ(static_cast<std::uint8_t>(polling.rows[0].status), 255);

  const netenv::AdapterTable adapters =
      discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}, {"192.168.5.3", "255.255.255.0", 1}});
  EXPECT_EQ(discovery::search_result_line(table, adapters, 0, remote),
            "01  U *   10. 77.  0. 20 [2:192.168.xx]  <000000-000000>S  10050 <0.0.0.0/0.0.0.0>");
}

}  // namespace
