// The ARP probe and the choice of probe, through a fake link.
#include "rawlink/address_probe.h"

#include <gtest/gtest.h>

#include "rawlink/arp_frames.h"
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
  int probe(const std::string& ip, bool raw_arp = true) {
    rawlink::RawEthernet raw{adapters, state, link, raw_arp};
    return rawlink::probe_address_in_use(raw, ipv4(ip));
  }
  void script(const std::string& device, test::CaptureScript script) { link.scripts[device].push_back(std::move(script)); }
};

test::ScriptedRead frame_read(Frame frame) { return {NextFrame::frame, std::move(frame)}; }
test::ScriptedRead timeout() { return {NextFrame::timeout, {}}; }

TEST(ArpProbe, OwnAddressAnswersWithoutSending) {
  for (const auto& [ip, entry] : std::vector<std::pair<std::string, int>>{{"192.168.1.10", 0}, {"192.168.5.3", 1}}) {
    Fixture f;
    f.state.probe_subnet_index = 9;
    EXPECT_EQ(f.probe(ip), 1) << ip;
    EXPECT_EQ(f.state.probe_subnet_index, entry) << ip;
    // The second entry's own address is reached only after the first entry was probed.
    EXPECT_EQ(f.link.sent_frames.size(), entry == 0 ? 0u : 3u) << ip;
  }
}

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
    test::CaptureScript script;
    script.reads = c.reads;
    f.script("eth0", script);
    int result = f.probe("192.168.1.77");
    EXPECT_EQ(result, c.result);
    ASSERT_GE(f.link.sent_frames.size(), 3u);
    auto request = rawlink::build_arp_request(eth0_mac, ipv4("192.168.1.10"), ipv4("192.168.1.77"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.link.sent_frames[static_cast<std::size_t>(i)], Frame(request.begin(), request.end()));
    EXPECT_EQ((std::vector<int>(f.link.wait_clock.sleeps_ms().begin(), f.link.wait_clock.sleeps_ms().begin() + 3)), (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(f.link.opens[0], (std::pair<std::string, int>{"eth0", 100}));
    ASSERT_FALSE(f.link.filters.empty());
    EXPECT_EQ(f.link.filters[0].expression, "arp");
    EXPECT_EQ(f.link.filters[0].netmask, ipv4("255.255.255.0"));
    // A silent first entry hands over to the second, from its own adapter and mask.
    if (c.result == 0) {
      ASSERT_EQ(f.link.sent_frames.size(), 6u);
      auto second = rawlink::build_arp_request(eth1_mac, ipv4("192.168.5.3"), ipv4("192.168.1.77"));
      EXPECT_EQ(f.link.sent_frames[3], Frame(second.begin(), second.end()));
      EXPECT_EQ(f.link.filters[1].netmask, ipv4("255.255.255.128"));
    }
  }
}

TEST(ArpProbe, AnswerOnALaterEntryNamesThatEntry) {
  Fixture f;
  test::CaptureScript answered;
  answered.reads = {timeout(), timeout(), frame_read(arp_frame(module, 2, "10.0.0.7", "192.168.5.3"))};
  f.script("eth1", answered);
  EXPECT_EQ(f.probe("10.0.0.7"), 1);
  EXPECT_EQ(f.state.probe_subnet_index, 1);
  EXPECT_EQ(f.link.opens.size(), 2u);
}

TEST(ArpProbe, ReportsTheStepThatCannotRun) {
  struct Case {
    const char* what;
    std::function<void(Fixture&)> arrange;
    int code;
    std::size_t sent;
  };
  auto scripted = [](auto change) {
    return [change](Fixture& f) {
      test::CaptureScript script;
      change(script);
      f.script("eth0", script);
    };
  };
  const std::vector<Case> cases = {
      {"devices not matched", [](Fixture& f) { f.adapters.capture_devices_matched = false; }, -1, 0},
      {"adapter without device", [](Fixture& f) { f.adapters.capture_device_adapter = {U, 1, U, U, U, U}; }, -2, 0},
      {"adapter without device, second entry", [](Fixture& f) { f.adapters.capture_device_adapter = {0, U, U, U, U, U}; },
       -2, 3},
      {"list unreadable", [](Fixture& f) { f.link.listing.ok = false; }, -3, 0},
      {"device gone from the list", [](Fixture& f) { f.link.listing.devices.clear(); }, -4, 0},
      {"cannot open", scripted([](test::CaptureScript& s) { s.open_status = platform::OpenStatus::permission_denied; }),
       -4, 0},
      {"filter does not compile",
       scripted([](test::CaptureScript& s) { s.filter_result = platform::FilterResult::compile_failed; }), -5, 0},
      {"filter not installed",
       scripted([](test::CaptureScript& s) { s.filter_result = platform::FilterResult::set_failed; }), -6, 0},
      {"send fails", scripted([](test::CaptureScript& s) { s.send_ok = false; }), -7, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.arrange(f);
    EXPECT_EQ(f.probe("192.168.1.77"), c.code) << c.what;
    EXPECT_EQ(f.link.sent_frames.size(), c.sent) << c.what;
  }
}

TEST(ProbeAddressInUse, AsksTheOperatingSystemUnlessRawArpIsNeeded) {
  Fixture f;
  f.link.neighbour_answers = true;
  EXPECT_EQ(f.probe("192.168.1.77", false), 1);
  f.link.neighbour_answers = false;
  EXPECT_EQ(f.probe("192.168.1.77", false), 0);
  ASSERT_EQ(f.link.resolutions.size(), 2u);
  EXPECT_EQ(f.link.resolutions[0].ip, ipv4("192.168.1.77"));
  EXPECT_EQ(f.link.resolutions[0].wait_ms, 1000);
  EXPECT_TRUE(f.link.opens.empty());

  f.adapters.capture_devices_matched = false;
  EXPECT_EQ(f.probe("192.168.1.77", true), -1);  // arp_probe's code passed on
  EXPECT_EQ(f.link.resolutions.size(), 2u);
}

}  // namespace
