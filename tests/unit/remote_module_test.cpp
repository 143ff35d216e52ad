// Reading the remote module over a fake query socket: the replies it drops and the failures.
// A module read, listed and polled through a router, and a device described by hand, are the
// remote test's LAN tests.
#include "maint/remote_module.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "discovery_test_bytes.h"
#include "support/ipv4_text.h"
#include "support/fake_wait_clock.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ipv4;

const platform::Ipv4Address remote = ipv4("10.77.0.20");
Bytes of(const auto& array) { return Bytes(array.begin(), array.end()); }
const Bytes configuration = of(discovery_test::tcp_module_reply().record(0, {10, 77, 0, 20}).bytes);
const Bytes device = of(discovery_test::device_reply_bytes("W8", {0x00, 0x20, 0x4A, 0x77, 0x00, 0x20}));
bool is_query(const Bytes& query, std::uint8_t command) { return query == Bytes{0, 0, 0, command}; }

// The module behind the socket: `replies` answers the k-th query sent (from 0); a wait is
// ready while a reply is pending and times out otherwise.
struct Peer {
  std::function<std::vector<Bytes>(const Bytes& query, int k)> replies;
  std::vector<Bytes> sent;
  std::deque<Bytes> pending;
  int waits = 0;
  int count(std::uint8_t command) const {
    return static_cast<int>(
        std::count_if(sent.begin(), sent.end(), [&](const Bytes& q) { return is_query(q, command); }));
  }
};

class FakeSocket final : public maint::QuerySocket {
 public:
  explicit FakeSocket(Peer& peer) : p_(peer) {}
  bool send(platform::Ipv4Address ip, std::uint16_t port, std::span<const std::uint8_t> bytes) override {
    EXPECT_EQ(ip, remote);
    EXPECT_EQ(port, 30718);
    for (Bytes& reply : p_.replies(Bytes(bytes.begin(), bytes.end()), static_cast<int>(p_.sent.size())))
      p_.pending.push_back(reply);
    p_.sent.emplace_back(bytes.begin(), bytes.end());
    return true;
  }
  platform::WaitResult wait_readable(long seconds, long microseconds) override {
    EXPECT_EQ(seconds * 1000000 + microseconds, 3200000);
    ++p_.waits;
    return p_.pending.empty() ? platform::WaitResult::timeout : platform::WaitResult::ready;
  }
  int receive(std::span<std::uint8_t> buffer, platform::Datagram& info) override {
    const Bytes d = p_.pending.front();
    p_.pending.pop_front();
    std::copy_n(d.begin(), std::min(d.size(), buffer.size()), buffer.begin());
    info.length = static_cast<int>(d.size());
    info.source_ip = remote;
    return static_cast<int>(std::min(d.size(), buffer.size()));
  }

 private:
  Peer& p_;
};

struct Rig {
  Peer peer;
  test::FakeWaitClock clock;
  discovery::ModuleTable table;
  int selected_work_mode = 2;
  bool can_open = true;

  int read() {
    table.rows[5].port = 1;  // a row of an earlier search
    auto open = [this](platform::Ipv4Address) -> std::unique_ptr<maint::QuerySocket> {
      return can_open ? std::make_unique<FakeSocket>(peer) : nullptr;
    };
    return maint::read_remote_module(open, clock, {remote, ipv4("192.168.1.10"), 1, 10050}, table, selected_work_mode);
  }
};

// A datagram of another length or header is dropped, and the same attempt waits again.
TEST(ReadRemoteModule, WrongRepliesAreDroppedAndTheWaitStartsAgain) {
  Rig rig;
  Bytes longer = configuration, wrong_header = device;
  longer.push_back(0);
  wrong_header[3] = 0xF9;
  rig.peer.replies = [&](const Bytes& q, int) {
    if (is_query(q, 0xF8))
      return std::vector<Bytes>{Bytes(configuration.begin(), configuration.end() - 1), longer, configuration};
    return std::vector<Bytes>{wrong_header, device};
  };
  ASSERT_EQ(rig.read(), 0);
  EXPECT_EQ(rig.peer.sent, (std::vector<Bytes>{{0, 0, 0, 0xF8}, {0, 0, 0, 0xF6}}));
  EXPECT_EQ(rig.clock.sleeps_ms(), std::vector<int>{30});
  EXPECT_EQ(rig.peer.waits, 5);
  EXPECT_EQ(rig.selected_work_mode, 0);  // the module's own, TCP
  EXPECT_EQ(rig.table.rows[0].mac, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x4A, 0x77, 0x00, 0x20}));
  EXPECT_TRUE(rig.table.rows[0].wireless);
  EXPECT_EQ(rig.table.rows[5].port, 0);  // nothing of the earlier search is left
}

TEST(ReadRemoteModule, FailuresNameTheQueryThatGotNoAnswer) {
  Rig silent;
  silent.peer.replies = [](const Bytes&, int) { return std::vector<Bytes>{}; };
  EXPECT_EQ(silent.read(), maint::remote_no_configuration);
  EXPECT_EQ(silent.peer.count(0xF8), 3);
  EXPECT_EQ(silent.peer.count(0xF6), 0);
  EXPECT_EQ(silent.table.rows[5].port, 1);  // the table is left as it was

  Rig half;  // answers only the configuration query, and that on the third attempt
  half.peer.replies = [](const Bytes& q, int k) {
    return is_query(q, 0xF8) && k == 2 ? std::vector<Bytes>{configuration} : std::vector<Bytes>{};
  };
  EXPECT_EQ(half.read(), maint::remote_no_device);
  EXPECT_EQ(half.peer.count(0xF8), 3);
  EXPECT_EQ(half.peer.count(0xF6), 3);
  EXPECT_EQ(half.table.rows[5].port, 1);

  Rig closed;
  closed.can_open = false;
  EXPECT_EQ(closed.read(), maint::remote_socket_failed);
}

}  // namespace
