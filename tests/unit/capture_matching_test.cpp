// Capture devices: the enumeration with its messages, and their matching to adapters by name.
#include "netenv/capture_matching.h"

#include <gtest/gtest.h>

#include "rawlink/capture_devices.h"
#include "support/fake_raw_link.h"
#include "support/scripted_view.h"

namespace {

constexpr int U = netenv::unknown_adapter;
using Tied = std::array<int, netenv::max_capture_devices>;

netenv::AdapterTable adapters_named(const std::vector<std::string>& names) {
  netenv::AdapterTable table;
  for (const std::string& name : names) {
    netenv::AdapterEntry& adapter = table.adapters.at(static_cast<std::size_t>(table.adapter_count++));
    adapter.name = name;
    adapter.name_length = static_cast<int>(name.size());
  }
  return table;
}

TEST(MatchCaptureDevices, TiesDevicesToAdaptersOfTheSameName) {
  struct Case {
    const char* what;
    std::vector<std::string> adapters, devices;
    Tied tied;
    bool matched;
  };
  const std::vector<Case> cases = {
      {"other order", {"eth0", "eth1"}, {"eth1", "eth0"}, {1, 0, U, U, U, U}, true},
      {"names that contain each other", {"eth1", "eth10"}, {"eth10", "eth1"}, {1, 0, U, U, U, U}, true},
      {"more devices than adapters", {"veth7"}, {"ifb0", "ifb1", "veth7"}, {U, U, 0, U, U, U}, true},
      {"an adapter without device", {"eth0", "wlan0"}, {"eth0", "docker0"}, {0, U, U, U, U, U}, false},
      {"a prefix is not the name", {"eth0"}, {"eth0.5"}, {U, U, U, U, U, U}, false},
      {"empty adapter name", {""}, {"", "eth0"}, {U, U, U, U, U, U}, false},
      {"only six devices count", {"g"}, {"a", "b", "c", "d", "e", "f", "g"}, {U, U, U, U, U, U}, false},
      {"no device", {"eth0"}, {}, {U, U, U, U, U, U}, false},
  };
  for (const Case& c : cases) {
    netenv::AdapterTable table = adapters_named(c.adapters);
    table.capture_device_adapter = {0, 0, 0, 0, 0, 0};  // left over from nothing: every device is tied again
    netenv::match_capture_devices(table, c.devices);
    EXPECT_EQ(table.capture_device_adapter, c.tied) << c.what;
    EXPECT_EQ(table.capture_devices_matched, c.matched) << c.what;
    EXPECT_EQ(table.matched_device_count, c.matched ? table.adapter_count : 0) << c.what;
  }
}

TEST(MatchCaptureDevices, LeavesACompleteMatchAlone) {
  netenv::AdapterTable table = adapters_named({"eth0"});
  table.capture_devices_matched = true;
  table.matched_device_count = 1;
  table.capture_device_adapter = {U, 0, U, U, U, U};  // tied by traffic earlier
  netenv::match_capture_devices(table, std::vector<std::string>{"eth0"});
  EXPECT_EQ(table.capture_device_adapter, (Tied{U, 0, U, U, U, U}));
}

TEST(EnumerateCaptureDevices, KeepsTheFirstSixNamedDevicesOrSaysWhyNone) {
  const char* const not_installed = "自动搜索初始化错误! 请检查Winpcap是否正确安装!\r\n";
  struct Case {
    const char* what;
    bool readable;
    std::vector<std::string> names;
    int code;
    const char* text;  // null: no message
    std::vector<std::string> kept;
  };
  const std::vector<Case> cases = {
      {"eight listed", true, {"eth0", "", "eth1", "eth2", "eth3", "eth4", "eth5", "eth6"}, 0, nullptr,
       {"eth0", "eth1", "eth2", "eth3", "eth4", "eth5"}},
      {"unreadable", false, {"eth0"}, -1, "自动搜索初始化错误1! 请检查Winpcap是否正确安装!", {}},
      {"empty", true, {}, -2, not_installed, {}},
      {"unnamed only", true, {"", ""}, -2, not_installed, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::FakeRawLink link;
    link.listing.ok = c.readable;
    link.add_devices(c.names);
    rawlink::RawEthernetState state;
    test::ScriptedView view;
    EXPECT_EQ(rawlink::enumerate_capture_devices(state, link, view), c.code);
    EXPECT_EQ(state.capture_devices, c.kept);
    ASSERT_EQ(view.messages.size(), c.text ? 1u : 0u);
    if (!c.text) continue;
    EXPECT_EQ(view.messages[0].caption, "错误提示");
    EXPECT_EQ(view.messages[0].text, c.text);
    EXPECT_EQ(view.messages[0].icon, ui::Icon::warning);
  }
}

// Enumerating then matching by name is the LAN's test (the raw-Ethernet probe's set-up).
TEST(CaptureMatcher, AListThatCannotBeReadLeavesTheTableAsItWas) {
  test::FakeRawLink link;
  link.listing.ok = false;
  rawlink::RawEthernetState state;
  state.capture_devices = {"eth1"};  // listed before
  test::ScriptedView view;
  netenv::AdapterTable untouched = adapters_named({"eth1"});
  rawlink::capture_matcher(state, link, view)(untouched);
  EXPECT_EQ(untouched.capture_device_adapter, (Tied{U, U, U, U, U, U}));
  EXPECT_FALSE(untouched.capture_devices_matched);
  EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
