// The ARP frame recorder, de-duplication, the probe's request and the reply test.
#include "rawlink/arp_frames.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/arp_test_frames.h"

namespace {

using rawlink::FrameUse;
using test::arp_frame;
using test::Frame;
using test::ipv4;
using test::module_mac;

const test::Mac pc_mac{0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

netenv::AdapterTable two_adapters() {
  netenv::AdapterTable table;
  table.adapter_count = 2;
  table.adapters[0].mac = {0x02, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  table.adapters[1].mac = pc_mac;
  return table;
}

Frame truncated(Frame frame, std::size_t length) {
  frame.resize(length);
  return frame;
}

TEST(ArpFrameRecorder, KeepsModuleFramesAndIgnoresTheRest) {
  struct Case {
    const char* what;
    Frame frame;
    FrameUse use;
  };
  const std::vector<Case> cases = {
      {"module request", arp_frame(module_mac(0x11, 0x22, 0x33), 1, "10.0.0.7", "10.0.0.1"), FrameUse::module_entry},
      {"module reply", arp_frame(module_mac(0x44, 0x55, 0x66), 2, "192.168.1.50", "192.168.1.10"), FrameUse::module_entry},
      {"42 bytes, no padding", truncated(arp_frame(module_mac(1, 2, 3), 1, "10.1.1.1", "10.1.1.2"), 42), FrameUse::module_entry},
      {"41 bytes", truncated(arp_frame(module_mac(7, 7, 7), 1, "10.1.1.1", "10.1.1.2"), 41), FrameUse::ignored},
      {"ethertype only", truncated(arp_frame(module_mac(7, 7, 7), 1, "10.1.1.1", "10.1.1.2"), 14), FrameUse::ignored},
      {"IPv4 from a module", arp_frame(module_mac(8, 8, 8), 1, "10.1.1.1", "10.1.1.2", 0x0800), FrameUse::ignored},
      {"00-20-4B source", arp_frame({0x00, 0x20, 0x4B, 9, 9, 9}, 1, "10.1.1.1", "10.1.1.2"), FrameUse::ignored},
      {"00-21-4A source", arp_frame({0x00, 0x21, 0x4A, 9, 9, 9}, 1, "10.1.1.1", "10.1.1.2"), FrameUse::ignored},
      {"empty", Frame{}, FrameUse::ignored},
  };
  netenv::AdapterTable adapters = two_adapters();
  adapters.capture_device_adapter[0] = 0;
  rawlink::DeviceArpEntries entries;
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(rawlink::record_arp_frame(cases[i].frame, 0, entries, adapters), cases[i].use) << cases[i].what;

  ASSERT_EQ(entries.count, 3);
  EXPECT_EQ(entries.entries[1].mac_tail, (std::array<std::uint8_t, 3>{0x44, 0x55, 0x66}));
  EXPECT_EQ(entries.entries[1].sender_ip, ipv4("192.168.1.50"));
  EXPECT_EQ(entries.entries[1].target_ip, ipv4("192.168.1.10"));
  EXPECT_EQ(entries.entries[2].sender_ip, ipv4("10.1.1.1"));
  EXPECT_EQ(adapters.matched_device_count, 0);
}

TEST(ArpFrameRecorder, HoldsAtMost29EntriesPerDevice) {
  netenv::AdapterTable adapters = two_adapters();
  rawlink::DeviceArpEntries entries;
  std::vector<FrameUse> uses;
  for (int i = 0; i < 31; ++i) {
    const Frame frame = arp_frame(module_mac(0, 0, static_cast<std::uint8_t>(i)), 1, "10.0.0." + std::to_string(i + 1), "10.0.0.254");
    uses.push_back(rawlink::record_arp_frame(frame, 3, entries, adapters));
  }
  EXPECT_EQ(entries.count, rawlink::max_arp_entries);
  EXPECT_EQ(entries.entries[28].sender_ip, ipv4("10.0.0.29"));
  EXPECT_EQ(uses[28], FrameUse::module_entry);
  EXPECT_EQ(uses[29], FrameUse::entries_full);
  EXPECT_EQ(uses[30], FrameUse::entries_full);
}

TEST(ArpFrameRecorder, PcsOwnFrameTiesADeviceWithoutAdapter) {
  netenv::AdapterTable adapters = two_adapters();
  rawlink::DeviceArpEntries entries;
  Frame own = arp_frame(pc_mac, 1, "192.168.1.10", "192.168.1.253");
  Frame stranger = arp_frame({0x02, 0, 0, 0, 0, 1}, 1, "192.168.1.1", "192.168.1.253");

  EXPECT_EQ(rawlink::record_arp_frame(stranger, 2, entries, adapters), FrameUse::ignored);
  EXPECT_EQ(adapters.capture_device_adapter[2], netenv::unknown_adapter);
  EXPECT_EQ(rawlink::record_arp_frame(own, 2, entries, adapters), FrameUse::device_matched);
  EXPECT_EQ(adapters.capture_device_adapter[2], 1);
  EXPECT_EQ(adapters.matched_device_count, 1);
  // Once tied, the device keeps its adapter and is not counted again.
  EXPECT_EQ(rawlink::record_arp_frame(own, 2, entries, adapters), FrameUse::ignored);
  EXPECT_EQ(adapters.matched_device_count, 1);
  // Neither the MAC of an adapter beyond adapter_count nor a device outside the table counts.
  adapters.adapter_count = 1;
  EXPECT_EQ(rawlink::record_arp_frame(own, 4, entries, adapters), FrameUse::ignored);
  for (int device : {-1, netenv::max_capture_devices}) {
    EXPECT_EQ(rawlink::record_arp_frame(own, device, entries, adapters), FrameUse::ignored);
    EXPECT_EQ(rawlink::record_arp_frame(arp_frame(module_mac(1, 2, 3), 1, "10.0.0.7", "10.0.0.1"), device, entries,
                                          adapters),
              FrameUse::ignored);
  }
  EXPECT_EQ(entries.count, 0);
  EXPECT_EQ(adapters.matched_device_count, 1);
}

TEST(ArpEntryDeduplication, KeepsTheFirstEntryOfEachMacInOrder) {
  rawlink::DeviceArpEntries entries;
  netenv::AdapterTable adapters;
  const std::vector<std::pair<test::Mac, std::string>> seen = {
      {module_mac(0xA, 0, 1), "10.0.0.1"}, {module_mac(0xB, 0, 2), "10.0.0.2"}, {module_mac(0xA, 0, 1), "10.0.0.3"},
      {module_mac(0xC, 0, 3), "10.0.0.4"}, {module_mac(0xB, 0, 2), "10.0.0.5"}, {module_mac(0xB, 0, 2), "10.0.0.6"},
  };
  for (const auto& [mac, ip] : seen) rawlink::record_arp_frame(arp_frame(mac, 1, ip, "10.0.0.254"), 0, entries, adapters);
  ASSERT_EQ(rawlink::deduplicate_arp_entries(entries), 3);
  ASSERT_EQ(entries.count, 3);
  EXPECT_EQ(entries.entries[0].sender_ip, ipv4("10.0.0.1"));
  EXPECT_EQ(entries.entries[1].sender_ip, ipv4("10.0.0.2"));
  EXPECT_EQ(entries.entries[2].sender_ip, ipv4("10.0.0.4"));
  EXPECT_EQ(rawlink::deduplicate_arp_entries(entries), 3);

  rawlink::DeviceArpEntries none;
  EXPECT_EQ(rawlink::deduplicate_arp_entries(none), 0);
}

TEST(ArpRequest, IsABroadcastRequestWithAnAllOnesTargetMac) {
  Frame expected = arp_frame(pc_mac, 1, "192.168.1.10", "192.168.1.77");
  std::fill(expected.begin() + 32, expected.begin() + 38, 0xFF);
  const auto request = rawlink::build_arp_request(pc_mac, ipv4("192.168.1.10"), ipv4("192.168.1.77"));
  EXPECT_EQ(Frame(request.begin(), request.end()), expected);
}

TEST(ArpReply, CountsOnlyRepliesFromTheProbedAddress) {
  const platform::Ipv4Address probed = ipv4("192.168.1.77");
  const test::Mac someone{0x02, 0, 0, 0, 0, 7};
  struct Case {
    const char* what;
    Frame frame;
    bool counts;
  };
  const std::vector<Case> cases = {
      {"reply", arp_frame(someone, 2, "192.168.1.77", "192.168.1.10"), true},
      {"reply, 42 bytes", truncated(arp_frame(someone, 2, "192.168.1.77", "192.168.1.10"), 42), true},
      {"request from it", arp_frame(someone, 1, "192.168.1.77", "192.168.1.10"), false},
      {"reply from another", arp_frame(someone, 2, "192.168.1.78", "192.168.1.10"), false},
      {"reply naming it as target", arp_frame(someone, 2, "192.168.1.10", "192.168.1.77"), false},
      {"reply, 41 bytes", truncated(arp_frame(someone, 2, "192.168.1.77", "192.168.1.10"), 41), false},
      {"not ARP", arp_frame(someone, 2, "192.168.1.77", "192.168.1.10", 0x0800), false},
  };
  for (const Case& c : cases) EXPECT_EQ(rawlink::is_arp_reply_from(c.frame, probed), c.counts) << c.what;
}

}  // namespace
