// The raw-Ethernet search through a fake link: frames from scripts, queries
// and resolutions recorded, rows checked in the Module table.
#include "discovery/captured_rows.h"
#include "rawlink/query_triggers.h"

#include <gtest/gtest.h>

#include "support/arp_test_frames.h"
#include "support/fake_raw_link.h"
#include "support/scripted_view.h"

namespace {

using platform::NextFrame;
using test::arp_frame;
using test::Frame;
using test::ipv4;
using test::module_mac;

constexpr int U = netenv::unknown_adapter;
const test::Mac eth0_mac{0x02, 0, 0, 0, 0, 0x01};
const test::Mac eth1_mac{0x02, 0, 0, 0, 0, 0x02};
constexpr rawlink::QueryKind configuration_query = rawlink::QueryKind::configuration;
constexpr rawlink::QueryKind device_query = rawlink::QueryKind::device;

// Adapter 0 "eth0" 192.168.1.10/24; adapter 1 "eth1" 192.168.5.3/24 and 192.168.6.3/24.
netenv::AdapterTable pc_adapters() {
  const std::string mask = "255.255.255.0";
  const platform::AdapterListing listing{0, {{eth0_mac, "eth0", "", 6, {{"192.168.1.10", mask}}},
                                             {eth1_mac, "eth1", "", 6, {{"192.168.5.3", mask}, {"192.168.6.3", mask}}}}};
  netenv::AdapterTable table;
  test::ScriptedView quiet;
  netenv::build_adapter_table(table, listing, quiet);
  return table;
}

void match_by_name(netenv::AdapterTable& table) {
  table.capture_device_adapter = {0, 1, U, U, U, U};
  table.capture_devices_matched = true;
  table.matched_device_count = 2;
}

// A table after a UDP search that found one module, 192.168.5.50.
discovery::ModuleTable searched_table(int found = 1) {
  discovery::ModuleTable table;
  for (int r = 0; r < found; ++r) {
    table.rows.at(static_cast<std::size_t>(r)).ip = ipv4("192.168.5.50").plus(static_cast<std::uint32_t>(r));
    table.display_order.at(static_cast<std::size_t>(r)) = r;
  }
  table.device_reply_count = table.found_count = table.shown_count = table.inside_count = found;
  return table;
}

struct Fixture {
  test::FakeRawLink link;
  netenv::AdapterTable adapters = pc_adapters();
  rawlink::RawEthernetState state;
  test::ScriptedView view;

  // Matched: the devices tied to the adapters by name.
  explicit Fixture(bool matched = true) {
    link.add_devices({"eth0", "eth1"});
    state.capture_devices = {"eth0", "eth1"};
    if (matched) match_by_name(adapters);
  }
  rawlink::RawEthernet raw(bool raw_arp = false) { return {adapters, state, link, raw_arp}; }
  // The device's next capture shows the frames, then times out.
  void capture_frames(const std::string& device, const std::vector<Frame>& frames) {
    test::CaptureScript script;
    for (const Frame& frame : frames) script.reads.push_back({NextFrame::frame, frame});
    capture_script(device, script);
  }
  void capture_script(const std::string& device, test::CaptureScript script) { link.scripts[device].push_back(std::move(script)); }
  int search(discovery::ModuleTable& table) {
    rawlink::RawEthernet scope = raw();
    rawlink::SearchCaptures captures = rawlink::open_search_captures(scope);
    int code = rawlink::raw_search(scope, captures, view);
    if (code == 0) discovery::add_captured_rows(table, adapters, state);
    return code;
  }
  int capture_pass(int device) {
    rawlink::RawEthernet scope = raw();
    rawlink::SearchCaptures captures{rawlink::look_up_capture_devices(link), {}};
    return rawlink::capture_pass(scope, captures, device, view);
  }
};

// Which frames are module entries is the recorder's test; the row as shown is the LAN's.
TEST(RawSearch, AddsModulesSeenOnlyByTheirFramesOncePerDevice) {
  Fixture f;
  const Frame outsider = arp_frame(module_mac(1, 2, 3), 1, "10.0.0.7", "10.0.0.1");
  f.capture_frames("eth0", {outsider});
  f.capture_frames("eth1", {outsider, outsider, arp_frame(module_mac(9, 9, 9), 2, "192.168.5.50", "192.168.5.3")});
  discovery::ModuleTable table = searched_table();  // the last one found by the search

  EXPECT_EQ(f.search(table), 0);

  EXPECT_EQ(f.state.captured_total, 3);
  ASSERT_EQ(table.shown_count, 3);
  EXPECT_EQ(table.found_count, 1);
  EXPECT_EQ(table.display_order, (decltype(table.display_order){0, 1, 2}));
  for (int r : {1, 2}) {
    const discovery::ModuleRow& row = table.rows[static_cast<std::size_t>(r)];
    EXPECT_TRUE(row.raw_only);
    EXPECT_EQ(row.mac, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x4A, 1, 2, 3}));
    EXPECT_EQ(row.subnet_index, r - 1);  // the first entry of the device's adapter
  }
  EXPECT_TRUE(f.view.messages.empty());
  EXPECT_EQ(f.view.wait_depth(), 0);
  EXPECT_EQ(f.link.socket_open_count, 1);
  EXPECT_EQ(f.link.socket_close_count, 1);

  // Without its query socket a search captures nothing, silently.
  f.link.socket_opens = false;
  f.capture_frames("eth0", {arp_frame(module_mac(4, 5, 6), 1, "10.0.0.9", "10.0.0.1")});
  EXPECT_EQ(f.search(table), rawlink::raw_socket_failed);
  EXPECT_EQ(table.shown_count, 3);
  EXPECT_TRUE(f.view.messages.empty());
  EXPECT_EQ(f.view.wait_depth(), 0);
}

TEST(RawSearch, MatchedDevicesWakeOnlyTheirOwnSubnet) {
  Fixture f;
  f.link.add_devices({"ifb0"});
  f.state.capture_devices.push_back("ifb0");  // a device no adapter owns takes no part
  discovery::ModuleTable table = searched_table(0);
  f.search(table);
  ASSERT_EQ(f.link.opens.size(), 2u);
  EXPECT_EQ(f.link.opens[0], (std::pair<std::string, int>{"eth0", 300}));
  EXPECT_EQ(f.link.opens[1], (std::pair<std::string, int>{"eth1", 300}));
  // Each pass: configuration query, device query after the first time-out, configuration
  // query after the second, end after the third; to the device's own first entry only.
  const std::vector<std::pair<const char*, rawlink::QueryKind>> expected = {
      {"192.168.1.255", configuration_query}, {"192.168.1.255", device_query}, {"192.168.1.255", configuration_query},
      {"192.168.5.255", configuration_query}, {"192.168.5.255", device_query}, {"192.168.5.255", configuration_query},
  };
  ASSERT_EQ(f.link.queries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(f.link.queries[i].broadcast, ipv4(expected[i].first)) << i;
    EXPECT_EQ(f.link.queries[i].kind, expected[i].second) << i;
  }
  EXPECT_TRUE(f.link.resolutions.empty());
  ASSERT_EQ(f.link.filters.size(), 2u);
  EXPECT_EQ(f.link.filters[0].expression, "arp");
  EXPECT_EQ(f.link.filters[0].netmask, ipv4("255.255.255.0"));  // devices without an IPv4 address
  EXPECT_EQ(table.shown_count, 0);
}

TEST(RawSearch, UnmatchedDevicesAreTiedByThePcsOwnRequests) {
  Fixture f(false);
  f.adapters.adapters[0].name = "{0F3A}";  // names that tie no device
  f.adapters.adapters[1].name = "{77B2}";
  f.capture_frames("eth0", {arp_frame(eth1_mac, 1, "192.168.5.3", "192.168.5.253")});
  f.capture_frames("eth1", {arp_frame(eth0_mac, 1, "192.168.1.10", "192.168.1.253")});
  discovery::ModuleTable table = searched_table(0);

  f.search(table);

  EXPECT_EQ(f.adapters.capture_device_adapter, (std::array<int, 6>{1, 0, U, U, U, U}));
  EXPECT_EQ(f.adapters.matched_device_count, 2);
  EXPECT_TRUE(f.adapters.capture_devices_matched);
  // Unmatched, each of a pass's three triggers asks the PC to resolve host 253 of every
  // entry and queries the first entry of every adapter.
  std::vector<platform::Ipv4Address> resolved, expected;
  for (const test::Resolution& r : f.link.resolutions) resolved.push_back(r.ip);
  for (int trigger = 0; trigger < 6; ++trigger)
    expected.insert(expected.end(), {ipv4("192.168.1.253"), ipv4("192.168.5.253"), ipv4("192.168.6.253")});
  EXPECT_EQ(resolved, expected);
  ASSERT_EQ(f.link.queries.size(), 12u);
  EXPECT_EQ(f.link.queries[0].broadcast, ipv4("192.168.1.255"));
  EXPECT_EQ(f.link.queries[1].broadcast, ipv4("192.168.5.255"));

  // One device tied of two adapters: the match stays incomplete.
  Fixture g(false);
  g.adapters.adapters[0].name = "{0F3A}";
  g.capture_frames("eth0", {arp_frame(eth0_mac, 1, "192.168.1.10", "192.168.1.253")});
  g.search(table);
  EXPECT_EQ(g.adapters.capture_device_adapter[0], 0);
  EXPECT_EQ(g.adapters.matched_device_count, 1);
  EXPECT_FALSE(g.adapters.capture_devices_matched);
}

TEST(RawSearch, StopsAddingRowsAt32) {
  Fixture f;
  f.capture_frames("eth0", {arp_frame(module_mac(1, 1, 1), 1, "10.0.0.7", "10.0.0.1"),
                                   arp_frame(module_mac(2, 2, 2), 1, "10.0.0.8", "10.0.0.1")});
  discovery::ModuleTable table = searched_table(31);
  f.search(table);
  EXPECT_EQ(table.shown_count, 32);
  EXPECT_EQ(table.rows[31].ip, ipv4("10.0.0.7"));

  discovery::ModuleTable full = searched_table(32);
  f.capture_frames("eth0", {arp_frame(module_mac(1, 1, 1), 1, "10.0.0.7", "10.0.0.1")});
  f.search(full);
  EXPECT_EQ(full.shown_count, 32);
  EXPECT_FALSE(full.rows[31].raw_only);
}

TEST(CapturePass, ShowsTheMessageOfTheFailingStep) {
  using platform::FilterResult;
  struct Case {
    const char* what;
    test::CaptureScript eth0;
    int device;
    int code;
    const char* text;
    bool list_readable = true;
  };
  const std::vector<Case> cases = {
      {"cannot open", {.open_status = platform::OpenStatus::failed}, 0, -3, "自动搜索初始化错误3!"},
      {"list unreadable", {}, 0, -3, "自动搜索初始化错误3!", false},
      {"no such device", {}, 2, -3, "自动搜索初始化错误3!"},
      {"not Ethernet", {.ethernet = false}, 0, -4, "自动搜索初始化错误4!"},
      {"filter does not compile", {.filter_result = FilterResult::compile_failed}, 0, -5,
       "自动搜索初始化错误5! 请检查Winpcap是否正确安装!"},
      {"filter not installed", {.filter_result = FilterResult::set_failed}, 0, -6, "自动搜索初始化错误6!"},
      {"read error", {.reads = {{NextFrame::error, {}}}}, 0, -7, "自动搜索初始化错误7!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.link.listing.ok = c.list_readable;
    f.capture_script("eth0", c.eth0);
    EXPECT_EQ(f.capture_pass(c.device), c.code);
    ASSERT_EQ(f.view.texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(f.view.messages[0].caption, "错误提示");
    EXPECT_EQ(f.view.messages[0].icon, ui::Icon::warning);
  }
}

TEST(TriggerQueries, StopsAtTheFirstFailedSend) {
  Fixture f(false);
  f.link.query_sends_ok = false;
  rawlink::RawEthernet raw = f.raw();
  EXPECT_EQ(rawlink::trigger_queries(raw, rawlink::QueryKind::device), rawlink::trigger_send_failed);
  EXPECT_EQ(f.link.queries.size(), 1u);
  EXPECT_EQ(f.link.resolutions.size(), 1u);
  EXPECT_EQ(rawlink::trigger_device_queries(raw, 0, rawlink::QueryKind::device), 0);  // eth0 has no adapter yet
  match_by_name(f.adapters);
  EXPECT_EQ(rawlink::trigger_device_queries(raw, 0, rawlink::QueryKind::device), rawlink::trigger_send_failed);
}

TEST(TriggerQueries, InRemoteModeProbesHost253ItselfInsteadOfAskingThePc) {
  Fixture f;
  rawlink::RawEthernet raw = f.raw(true);
  EXPECT_EQ(rawlink::trigger_queries(raw, rawlink::QueryKind::configuration), 0);
  EXPECT_TRUE(f.link.resolutions.empty());
  ASSERT_FALSE(f.link.sent_frames.empty());
  EXPECT_EQ(Frame(f.link.sent_frames[0].begin() + 38, f.link.sent_frames[0].begin() + 42), (Frame{192, 168, 1, 253}));
}

}  // namespace
