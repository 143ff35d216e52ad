// The search over real sockets. Each test runs in a network namespace of its own whose only
// interface is loopback: the address table holds 127.0.0.1/8, and a fake module listening
// on the Discovery port answers the broadcasts to 127.255.255.255.
#include "discovery/module_search.h"

#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "discovery/discovery_socket.h"
#include "platform/socket_wait.h"
#include "platform/udp_socket.h"
#include "platform/wait_clock.h"
#include "support/scripted_view.h"
#include "ui/texts.h"
#include "unit/discovery_test_bytes.h"

namespace {

using discovery::ModuleTable;
using Bytes = std::vector<std::uint8_t>;

const netenv::AdapterTable loopback = discovery_test::adapters_with({{"127.0.0.1", "255.0.0.0", 0}});

bool loopback_up() {
  platform::SocketHandle s = platform::open_udp_socket();
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  if (::ioctl(s.fd(), SIOCGIFFLAGS, &request) != 0) return false;
  request.ifr_flags |= IFF_UP;
  return ::ioctl(s.fd(), SIOCSIFFLAGS, &request) == 0;
}

// Runs body on a thread moved into a new network namespace; body does not run at all when
// the namespace cannot be made, so no datagram ever reaches a real network.
void in_private_network(const std::function<void()>& body) {
  bool isolated = false;
  std::thread worker([&] {
    if (::unshare(CLONE_NEWNET) != 0 || !loopback_up()) return;
    isolated = true;
    body();
  });
  worker.join();
  EXPECT_TRUE(isolated) << "these tests need a network namespace of their own (run as root)";
}

Bytes device_reply() {
  auto bytes = discovery_test::device_reply_bytes("E1", {0x00, 0x20, 0x4A, 0x12, 0x34, 0x56});
  return {bytes.begin(), bytes.end()};
}

Bytes configuration_reply(
    discovery_test::ConfigurationReply reply = discovery_test::tcp_module_reply().record(0, {0, 0, 1, 0})) {
  return {reply.bytes.begin(), reply.bytes.end()};
}

// A module on the Discovery port: answers the n-th query (from 0) with command byte c
// with the datagrams script(c, n) returns, and counts the queries.
class FakeModule {
 public:
  using Script = std::function<std::vector<Bytes>(std::uint8_t command, int nth)>;

  explicit FakeModule(Script script) : script_(std::move(script)), socket_(platform::open_udp_socket()) {
    bound_ = platform::bind_ipv4(socket_.fd(), {}, 30718);
    worker_ = std::thread([this] { serve(); });
  }
  ~FakeModule() {
    stop_ = true;
    worker_.join();
  }
  bool bound() const { return bound_; }
  int queries(std::uint8_t command) const { return counts_[command]; }

 private:
  void serve() {
    std::array<std::uint8_t, 64> buffer{};
    while (!stop_) {
      if (platform::wait_readable(socket_.fd(), 0, 20000) != platform::WaitResult::ready) continue;
      platform::Datagram from;
      if (platform::receive_datagram(socket_.fd(), buffer, from) != 4) continue;
      const std::uint8_t command = buffer[3];
      for (const Bytes& reply : script_(command, counts_[command]++)) {
        platform::send_datagram(socket_.fd(), from.source_ip, from.source_port, reply);
      }
    }
  }

  Script script_;
  platform::SocketHandle socket_;
  bool bound_ = false;
  std::array<std::atomic<int>, 256> counts_{};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

// Stands in for the capture of ARP frames: notes what it found and adds a captured row.
struct CapturedRowSearch : discovery::RawSearch {
  int shown_count_at_run = -1;
  int list_lines_at_run = -1;
  std::function<int()> queries_so_far;
  int queries_at_start = -1;
  void start(netenv::AdapterTable&) override { queries_at_start = queries_so_far(); }
  void run(ModuleTable& table, netenv::AdapterTable&, ui::MainView& view) override {
    shown_count_at_run = table.shown_count;
    list_lines_at_run = view.list_count(ui::ListId::modules);
    discovery::ModuleRow& row = table.rows[table.shown_count];
    row.raw_only = true;
    row.ip = test::ipv4("127.0.0.9");
    table.display_order[table.shown_count++] = 1;
  }
};

TEST(ModuleSearch, FindsAModuleAmongForeignDatagrams) {
  in_private_network([] {
    platform::SystemWaitClock clock;
    FakeModule module([](std::uint8_t command, int) -> std::vector<Bytes> {
      Bytes device = device_reply(), configuration = configuration_reply();
      if (command == 0xF6) {
        Bytes wrong_header = device;
        wrong_header[3] = 0xF6;
        return {Bytes(29, 0), Bytes(31, 0), wrong_header, Bytes(device.begin(), device.end() - 1), device};
      }
      Bytes wrong_header = configuration, longer = configuration;
      wrong_header[3] = 0xF8;
      longer.push_back(0);
      Bytes oversized(400, 0);
      std::copy(configuration.begin(), configuration.end(), oversized.begin());
      return {wrong_header, longer, oversized, configuration};
    });
    ASSERT_TRUE(module.bound());
    netenv::AdapterTable adapters = loopback;
    ModuleTable table;
    test::ScriptedView view;
    CapturedRowSearch raw_search;
    raw_search.queries_so_far = [&module] { return module.queries(0xF6) + module.queries(0xF8); };
    EXPECT_EQ(discovery::search_modules(clock, adapters, table, 10050, view, &raw_search), 0);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(table.device_reply_count, 1);
    EXPECT_EQ(table.found_count, 1);
    // The capture starts before the first query and runs after the ordering, before the
    // list is drawn.
    EXPECT_EQ(raw_search.queries_at_start, 0);
    EXPECT_EQ(raw_search.shown_count_at_run, 1);
    EXPECT_EQ(raw_search.list_lines_at_run, 0);
    ASSERT_EQ(view.lines(ui::ListId::modules).size(), 2u);
    EXPECT_EQ(view.lines(ui::ListId::modules)[0],
              "01  T -  127.  0.  0.  1 [1:127.  0.xx]D <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>");
    EXPECT_EQ(view.lines(ui::ListId::modules)[1].substr(0, 25), "02    *  127.  0.  0.  9 ");
    EXPECT_TRUE(table.rows[0].sensor_module);
    EXPECT_EQ(module.queries(0xF6), 1);
    EXPECT_EQ(module.queries(0xF8), 1);
  });
}

TEST(ModuleSearch, SilentDeviceQueryGetsOneRetry) {
  struct Case {
    const char* name;
    int silent_device_queries;
    int result;
    std::vector<std::string> messages;
    std::size_t lines;
  } cases[] = {
      {"answers the retry", 1, 0, {}, 1},
      {"never answers", 2, discovery::search_counts_differ, {ui::texts::search_incomplete}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    in_private_network([&] {
      platform::SystemWaitClock clock;
      FakeModule module([&](std::uint8_t command, int nth) -> std::vector<Bytes> {
        if (command != 0xF6) return {configuration_reply()};
        if (nth < c.silent_device_queries) return {};
        return {device_reply()};
      });
      ASSERT_TRUE(module.bound());
      netenv::AdapterTable adapters = loopback;
      ModuleTable table;
      test::ScriptedView view;
      EXPECT_EQ(discovery::search_modules(clock, adapters, table, 10050, view), c.result);
      std::vector<std::string> texts;
      for (const auto& m : view.messages) {
        texts.push_back(m.text);
        EXPECT_EQ(m.caption, ui::texts::caption_notice);
      }
      EXPECT_EQ(texts, c.messages);
      EXPECT_EQ(view.lines(ui::ListId::modules).size(), c.lines);
      EXPECT_EQ(module.queries(0xF6), 2);
      EXPECT_EQ(module.queries(0xF8), 2);
    });
  }
}

TEST(ModuleSearch, NoAddressEntryQueriesNobody) {
  in_private_network([] {
    platform::SystemWaitClock clock;
    FakeModule module([](std::uint8_t, int) { return std::vector<Bytes>{device_reply()}; });
    ASSERT_TRUE(module.bound());
    netenv::AdapterTable adapters;
    ModuleTable table;
    test::ScriptedView view;
    EXPECT_EQ(discovery::search_modules(clock, adapters, table, 10050, view), 0);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.lines(ui::ListId::modules).empty());
    EXPECT_EQ(module.queries(0xF6) + module.queries(0xF8), 0);
  });
}

TEST(ModuleSearch, UnroutableSubnetFailsTheDevicePass) {
  in_private_network([] {
    platform::SystemWaitClock clock;
    // The namespace has no route to this subnet, so the broadcast cannot be sent.
    netenv::AdapterTable adapters = discovery_test::adapters_with({{"10.0.0.1", "255.0.0.0", 0}});
    ModuleTable table;
    test::ScriptedView view;
    EXPECT_EQ(discovery::search_modules(clock, adapters, table, 10050, view), discovery::search_device_pass_failed);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, ui::texts::search_error_device_pass);
    EXPECT_EQ(view.messages[0].caption, ui::texts::caption_notice);
  });
}

}  // namespace
