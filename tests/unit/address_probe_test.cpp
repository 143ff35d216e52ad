// The ARP probe's attempts and failure codes, through a fake link.
#include "rawlink/address_probe.h"

#include <gtest/gtest.h>

#include "support/arp_test_frames.h"
#include "support/fake_raw_link.h"

namespace {

using platform::NextFrame;
using test::arp_frame;
using test::Frame;
using test::ipv4;

constexpr int U = netenv::unknown_adapter;
const test::Mac eth0_mac{0x02, 0, 0, 0, 0, 0x01};
const test::Mac eth1_mac{0x02, 0, 0, 0, 0, 0x02};
const test::Mac module{0x00, 0x20, 0x4A, 0, 0, 7};

// Adapter 0 192.168.1.10/24 on device eth0; adapter 1 192.168.5.3/25 on device eth1.
struct Fixture {
  test::FakeRawLink link;
  netenv::AdapterTable adapters;
  rawlink::RawEthernetState state;

  Fixture() {
    link.add_devices({"eth0", "eth1"});
    state.capture_devices = {"eth0", "eth1"};
    adapters.adapter_count = 2;
    adapters.adapters[0].mac = eth0_mac;
    adapters.adapters[1].mac = eth1_mac;
    adapters.address_count = 2;
    adapters.addresses[0] = {ipv4("192.168.1.10"), ipv4("255.255.255.0"), 0};
    adapters.addresses[1] = {ipv4("192.168.5.3"), ipv4("255.255.255.128"), 1};
    adapters.capture_device_adapter = {0, 1, U, U, U, U};
    adapters.capture_devices_matched = true;
    adapters.matched_device_count = 2;
  }
  int probe(const std::string& ip) {
    rawlink::RawEthernet raw{adapters, state, link, true};
    return rawlink::probe_address_in_use(raw, ipv4(ip));
  }
  void script(const std::string& device, test::CaptureScript script) { link.scripts[device].push_back(std::move(script)); }
};

test::ScriptedRead frame_read(Frame frame) { return {NextFrame::frame, std::move(frame)}; }
test::ScriptedRead timeout() { return {NextFrame::timeout, {}}; }

TEST(ArpProbe, SendsThreeRequestsAndTheThirdDecides) {
  struct Case {
    const char* what;
    std::deque<test::ScriptedRead> reads;
    int result;
  };
  const Frame reply = arp_frame(module, 2, "192.168.1.77", "192.168.1.10");
  const std::vector<Case> cases = {
      {"silent", {}, 0},
      {"answers every request", {frame_read(reply), timeout(), frame_read(reply), timeout(), frame_read(reply)}, 1},
      {"answers the first two only", {frame_read(reply), timeout(), frame_read(reply), timeout(), timeout()}, 0},
      {"answers the third only", {timeout(), timeout(), frame_read(reply)}, 1},
      {"a read error ends an attempt", {{NextFrame::error, {}}, {NextFrame::error, {}}, frame_read(reply)}, 1},
      {"its requests do not count",
       {timeout(), timeout(), frame_read(arp_frame(module, 1, "192.168.1.77", "192.168.1.10"))}, 0},
      {"replies from others do not count",
       {timeout(), timeout(), frame_read(arp_frame(module, 2, "192.168.1.78", "192.168.1.10"))}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.script("eth0", {.reads = c.reads});
    EXPECT_EQ(f.probe("192.168.1.77"), c.result);
    ASSERT_GE(f.link.sent_frames.size(), 3u);
    EXPECT_EQ((std::vector<int>(f.link.wait_clock.sleeps_ms().begin(), f.link.wait_clock.sleeps_ms().begin() + 3)), (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(f.link.opens[0], (std::pair<std::string, int>{"eth0", 100}));
    ASSERT_FALSE(f.link.filters.empty());
    EXPECT_EQ(f.link.filters[0].netmask, ipv4("255.255.255.0"));
    // A silent first entry hands over to the second, from its own adapter and mask.
    if (c.result == 0) {
      EXPECT_EQ(f.link.sent_frames.size(), 6u);
      ASSERT_EQ(f.link.filters.size(), 2u);
      EXPECT_EQ(f.link.filters[1].netmask, ipv4("255.255.255.128"));
    }
  }
}

TEST(ArpProbe, ReportsTheStepThatCannotRun) {
  struct Case {
    const char* what;
    std::function<void(Fixture&)> arrange;
    int code;
    std::size_t sent;
  };
  const std::vector<Case> cases = {
      {"devices not matched", [](Fixture& f) { f.adapters.capture_devices_matched = false; }, -1, 0},
      {"adapter without device", [](Fixture& f) { f.adapters.capture_device_adapter = {U, 1, U, U, U, U}; }, -2, 0},
      {"adapter without device, second entry", [](Fixture& f) { f.adapters.capture_device_adapter = {0, U, U, U, U, U}; },
       -2, 3},
      {"list unreadable", [](Fixture& f) { f.link.listing.ok = false; }, -3, 0},
      {"device gone from the list", [](Fixture& f) { f.link.listing.devices.clear(); }, -4, 0},
      {"cannot open", [](Fixture& f) { f.script("eth0", {.open_status = platform::OpenStatus::permission_denied}); },
       -4, 0},
      {"filter does not compile",
       [](Fixture& f) { f.script("eth0", {.filter_result = platform::FilterResult::compile_failed}); }, -5, 0},
      {"filter not installed",
       [](Fixture& f) { f.script("eth0", {.filter_result = platform::FilterResult::set_failed}); }, -6, 0},
      {"send fails", [](Fixture& f) { f.script("eth0", {.send_ok = false}); }, -7, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.arrange(f);
    EXPECT_EQ(f.probe("192.168.1.77"), c.code) << c.what;
    EXPECT_EQ(f.link.sent_frames.size(), c.sent) << c.what;
  }
}

}  // namespace
