// The libpcap layer: savefiles, and live captures on a veth pair inside a network
// namespace private to the test thread (nothing reaches the host's interfaces).
#include "platform/capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "lan/private_network.h"
#include "platform/clock.h"
#include "support/arp_test_frames.h"
#include "support/savefile.h"
#include "support/temporary_directory.h"

namespace {

using test::Frame;

const test::Mac veth_mac{0x02, 0x51, 0, 0, 0, 1};

const std::vector<std::string> veth_pair = {
    "ip link add qvcap0 address 02:51:00:00:00:01 type veth peer name qvcap1",
    "ip addr add 192.0.2.1/24 dev qvcap0",
    "ip link set qvcap0 up",
    "ip link set qvcap1 up",
};


TEST(CaptureFile, ReportsWhatFails) {
  test::TemporaryDirectory directory;
  platform::CaptureOpening missing = platform::open_capture_file(directory.file("none.pcap"));
  EXPECT_EQ(missing.status, platform::OpenStatus::failed);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_FALSE(missing.session);

  const std::string path = directory.file("raw.pcap");
  ASSERT_TRUE(test::write_savefile(path, {}, DLT_RAW));
  platform::CaptureOpening raw = platform::open_capture_file(path);
  ASSERT_EQ(raw.status, platform::OpenStatus::opened);
  EXPECT_FALSE(raw.session->ethernet());
  EXPECT_EQ(raw.session->set_filter("arp and (", {}), platform::FilterResult::compile_failed);
  EXPECT_FALSE(raw.session->last_error().empty());
  const Frame frame(60, 0);
  EXPECT_FALSE(raw.session->send_frame(frame));
}

TEST(LiveCapture, ListsInterfacesWithoutLoopbackOrPseudoDevices) {
  test::in_private_network(veth_pair, [] {
    platform::CaptureDeviceListing listing = platform::list_capture_devices();
    ASSERT_TRUE(listing.ok) << listing.error;
    std::vector<std::string> names;
    for (const auto& device : listing.devices) names.push_back(device.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"qvcap0", "qvcap1"}));
    for (const auto& device : listing.devices)
      EXPECT_EQ(device.netmask, device.name == "qvcap0" ? test::ipv4("255.255.255.0") : platform::Ipv4Address{}) << device.name;
  });
}

TEST(LiveCapture, SendsAndCapturesArpFramesCutToTheSnapshotLength) {
  test::in_private_network(veth_pair, [] {
    platform::SystemWaitClock clock;
    platform::CaptureOpening receiver = platform::open_live_capture("qvcap1", 100, true, 100, clock);
    platform::CaptureOpening sender = platform::open_live_capture("qvcap0", 100, true, 100, clock);
    ASSERT_EQ(receiver.status, platform::OpenStatus::opened) << receiver.error;
    ASSERT_EQ(sender.status, platform::OpenStatus::opened) << sender.error;
    EXPECT_TRUE(receiver.session->ethernet());
    ASSERT_EQ(receiver.session->set_filter("arp", test::ipv4("255.255.255.0")), platform::FilterResult::installed);

    Frame arp = test::arp_frame(veth_mac, 1, "192.0.2.1", "192.0.2.9");
    Frame long_arp = arp;
    long_arp.resize(200, 0xEE);
    Frame not_arp = arp;
    not_arp[13] = 0x00;  // IPv4
    for (const Frame& frame : {not_arp, arp, long_arp}) ASSERT_TRUE(sender.session->send_frame(frame)) << sender.session->last_error();

    std::vector<Frame> captured;
    std::span<const std::uint8_t> frame;
    platform::NextFrame next;
    while ((next = receiver.session->next_frame(frame)) == platform::NextFrame::frame) captured.emplace_back(frame.begin(), frame.end());
    EXPECT_EQ(next, platform::NextFrame::timeout);
    // A quiet device times out after the read time-out, not sooner and not never.
    std::uint32_t start_ms = platform::tick_count_ms();
    EXPECT_EQ(receiver.session->next_frame(frame), platform::NextFrame::timeout);
    std::uint32_t quiet_ms = platform::tick_count_ms() - start_ms;
    EXPECT_GE(quiet_ms, 100u);
    EXPECT_LT(quiet_ms, 1000u);
    ASSERT_EQ(captured.size(), 2u);
    EXPECT_EQ(captured[0], arp);
    EXPECT_EQ(captured[1], Frame(long_arp.begin(), long_arp.begin() + 100));
  });
}

TEST(LiveCapture, TellsAMissingCaptureRightFromOtherFailures) {
  test::in_private_network(veth_pair, [] {
    platform::SystemWaitClock clock;
    platform::CaptureOpening missing = platform::open_live_capture("qvnone", 100, true, 100, clock);
    EXPECT_EQ(missing.status, platform::OpenStatus::failed);
    EXPECT_FALSE(missing.error.empty());

    ASSERT_TRUE(test::drop_raw_right());
    platform::CaptureOpening denied = platform::open_live_capture("qvcap0", 100, true, 100, clock);
    EXPECT_EQ(denied.status, platform::OpenStatus::permission_denied) << denied.error;
    EXPECT_FALSE(denied.error.empty());
    EXPECT_FALSE(denied.session);
  });
}

}  // namespace
