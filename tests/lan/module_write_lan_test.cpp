// Parameter writes against emulated modules: the set-configuration write that moves a
// module, the wireless block read and write, and the faults a module can play.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "config/module_writes.h"
#include "config/wireless_dialog.h"
#include "discovery/module_search.h"
#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "support/ipv4_text.h"
#include "polling/polling_cycle.h"
#include "support/scripted_dialog.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"

namespace {

using test::ipv4;

std::string mac_of(int host) {
  char mac[32];
  std::snprintf(mac, sizeof mac, "00:20:4a:0d:00:%02x", host);
  return mac;
}

void add(test::LanTopology& topology, const char* name, int host, const std::string& config) {
  const std::string ip = "192.168.1." + std::to_string(host);
  topology.add_module({name, 1, mac_of(host), ip + "/24", "192.168.1.1",
                       test::sensor_module_config(mac_of(host), ip, "192.168.1.1", config)});
}

struct Search {
  netenv::AdapterTable adapters;
  discovery::ModuleTable table;
  test::ScriptedView view;
  int result = 1;

  // Searches from the PC's namespace (the caller is inside it).
  void run() {
    if (adapters.address_count == 0) {
      ASSERT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view), 0);
    }
    discovery::reset_module_table(table);
    platform::SystemWaitClock clock;
    result = discovery::search_modules(clock, adapters, table, discovery::default_expected_port, view);
  }
  // The row whose address ends in host, or null.
  discovery::ModuleRow* row(int host) {
    for (int k = 0; k < table.shown_count; ++k) {
      discovery::ModuleRow& r = table.rows[table.display_order[k]];
      if (r.ip.octet(3) == host) return &r;
    }
    return nullptr;
  }
};

// Waits up to 5 s for the emulator of `name` to log `text`.
bool logged(const test::VirtualLan& lan, const std::string& name, const std::string& text) {
  for (int i = 0; i < 50; ++i) {
    if (lan.emulator_log(name).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

int count_of(const std::string& log, const std::string& text) {
  int n = 0;
  for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
  return n;
}

std::string hex(const config::WirelessBlock& block) {
  std::string text;
  for (std::uint8_t b : block) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
}

TEST(ModuleWriteLan, NewAddressMaskGatewayAndModeMoveTheModuleWherePollingReadsIt) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  // Bytes the program never names, which it must send back as they came.
  add(topology, "m", 50, "record_bytes = 4:A1B2\nrecord_bytes = 110:C3D4E5\nrestart_delay_ms = 300");
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  Search before;
  before.run();
  ASSERT_EQ(before.result, 0);
  discovery::ModuleRow* row = before.row(50);
  ASSERT_NE(row, nullptr);

  netenv::PendingParameters pending;
  pending.new_module_ip = ipv4("192.168.1.77");
  pending.new_gateway = ipv4("192.168.1.126");
  pending.host_bits = 7;  // 255.255.255.128
  pending.work_mode = discovery::udp;
  platform::SystemWaitClock clock;
  ASSERT_EQ(config::write_selected_module(clock, *row, pending), 0);

  // IP byte 3, host bits, gateway byte 3, baud code (57600 -> 38400) and the two mode bytes.
  EXPECT_TRUE(logged(lan, "m", "set-configuration changed offsets 3 6 15 17 28 29\n")) << lan.emulator_log("m");
  EXPECT_TRUE(logged(lan, "m", "restarted at 192.168.1.77 port 10050 mode CC 01")) << lan.emulator_log("m");

  Search after;
  after.run();
  ASSERT_EQ(after.result, 0);
  ASSERT_EQ(after.table.shown_count, 1);
  discovery::ModuleRow* moved = after.row(77);
  ASSERT_NE(moved, nullptr) << after.view.lines(ui::ListId::modules).at(0);
  EXPECT_EQ(moved->work_mode, discovery::udp);
  EXPECT_EQ(moved->host_bits, 7);
  EXPECT_EQ(moved->gateway.dotted(), "192.168.1.126");
  EXPECT_EQ(moved->record[4], 0xA1);
  EXPECT_EQ(moved->record[112], 0xE5);

  polling::PollingTable polling;
  polling::QuerySettings settings{clock, 1, {}};
  ASSERT_EQ(polling::open_polling_sockets(after.table, polling, settings), 0);
  polling::polling_cycle(true, after.table, polling, settings);
  EXPECT_EQ(polling.rows[after.table.display_order[0]].status, 1);
  polling::close_polling_sockets(polling);
}

TEST(ModuleWriteLan, WirelessBlockIsReadEditedAndWrittenByteForByte) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  add(topology, "w", 60, "device_type = W8");
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  Search search;
  search.run();
  discovery::ModuleRow* row = search.row(60);
  ASSERT_NE(row, nullptr);
  ASSERT_TRUE(row->wireless);

  platform::SystemWaitClock clock;
  config::WirelessCopies copies;
  ASSERT_EQ(config::read_selected_wireless(clock, *row, copies), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(copies.as_read.data() + 3)), "plant-net");
  // Nothing edited: nothing is sent, and that counts as done.
  EXPECT_EQ(config::write_selected_wireless(clock, *row, copies), 0);

  config::WirelessDialog dialog(copies.edited);
  test::ScriptedDialog view(dialog);
  ASSERT_TRUE(view.open());
  view.type(config::WirelessDialog::ssid_edit, "yard-7");
  view.click(int(config::WirelessDialog::suite_none_radio) + config::wifi::suite_wpa2);
  view.click(config::WirelessDialog::passphrase_radio);
  view.type(config::WirelessDialog::key_edit, "correct horse battery");
  view.click(config::WirelessDialog::ok_button);
  ASSERT_EQ(view.result(), 1);
  // Bytes the dialog does not own came from the module and go back unchanged.
  EXPECT_TRUE(std::equal(copies.edited.begin() + 73, copies.edited.begin() + 133, copies.as_read.begin() + 73));

  ASSERT_EQ(config::write_selected_wireless(clock, *row, copies), 0);
  const std::string log = lan.emulator_log("w");
  EXPECT_EQ(count_of(log, "wireless write block "), 1) << log;
  EXPECT_NE(log.find("wireless write block " + hex(copies.edited) + "\n"), std::string::npos) << log;

  // The module now reports what was written.
  config::WirelessCopies again;
  ASSERT_EQ(config::read_selected_wireless(clock, *row, again), 0);
  EXPECT_EQ(again.as_read, copies.edited);
}

TEST(ModuleWriteLan, ModuleFaultsGiveTheCallerTheirResult) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  add(topology, "noack", 71, "no_set_ack = yes\nrestart_delay_ms = 60000");
  add(topology, "otherack", 72, "set_ack_source = 192.168.1.250\nrestart_delay_ms = 60000");
  add(topology, "badxor", 73, "device_type = W8\nwireless_bad_checksum = yes");
  add(topology, "short", 74, "device_type = W8\nwireless_reply_length = 256");
  add(topology, "long", 75, "device_type = W8\nwireless_reply_length = 258");
  add(topology, "stale", 76, "device_type = W8\nwireless_stale_replies = 2");
  add(topology, "nowack", 77, "device_type = W8\nno_wireless_ack = yes");
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();
  Search search;
  search.run();
  ASSERT_EQ(search.table.shown_count, 7);
  platform::SystemWaitClock clock;

  for (int host : {71, 72}) {
    discovery::ModuleRow* row = search.row(host);
    ASSERT_NE(row, nullptr);
    netenv::PendingParameters same;
    same.new_module_ip = row->ip;
    same.new_gateway = row->gateway;
    same.host_bits = row->host_bits;
    same.work_mode = row->work_mode;
    EXPECT_EQ(config::write_selected_module(clock, *row, same), host == 71 ? config::write_no_ack : 0) << host;
  }
  EXPECT_NE(lan.emulator_log("otherack").find("acknowledged from 192.168.1.250"), std::string::npos);

  struct Case {
    int host;
    int result;
  } reads[] = {{73, config::wireless_no_reply}, {74, config::wireless_no_reply}, {75, config::wireless_no_reply}, {76, 0}};
  for (const Case& c : reads) {
    config::WirelessCopies copies;
    EXPECT_EQ(config::read_selected_wireless(clock, *search.row(c.host), copies), c.result) << c.host;
  }
  // The stale replies came first; the last one, the module's real block, is kept.
  config::WirelessCopies stale;
  ASSERT_EQ(config::read_selected_wireless(clock, *search.row(76), stale), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stale.as_read.data() + 3)), "plant-net");
  EXPECT_EQ(count_of(lan.emulator_log("stale"), "wireless read"), 2);

  config::WirelessCopies copies;
  ASSERT_EQ(config::read_selected_wireless(clock, *search.row(77), copies), 0);
  copies.edited[3] = 'Q';
  EXPECT_EQ(config::write_selected_wireless(clock, *search.row(77), copies), config::wireless_no_reply);
  EXPECT_TRUE(logged(lan, "nowack", "wireless write block"));
}

TEST(ModuleWriteLan, RemoteWriteSendsNoNetworkSectionAndTriesThreeTimes) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  add(topology, "remote", 81, "restart_delay_ms = 60000");
  add(topology, "deaf", 82, "no_set_ack = yes\nrestart_delay_ms = 60000");
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();
  Search search;
  search.run();
  ASSERT_EQ(search.table.shown_count, 2);

  netenv::PendingParameters pending;
  pending.new_module_ip = ipv4("10.9.9.9");  // never sent by a remote write
  pending.work_mode = discovery::udp;
  test::FakeWaitClock clock;
  EXPECT_EQ(config::write_remote_module(clock, *search.row(81), pending, ipv4("192.168.1.81"), ipv4("192.168.1.10")), 0);
  EXPECT_EQ(clock.sleeps_ms(), std::vector<int>{20});
  EXPECT_TRUE(logged(lan, "remote", "set-configuration from 192.168.1.10 record"));
  EXPECT_NE(lan.emulator_log("remote").find("changed offsets 28 29\n"), std::string::npos) << lan.emulator_log("remote");

  const std::uint32_t before_ms = clock.tick_count_ms();
  EXPECT_EQ(config::write_remote_module(clock, *search.row(82), pending, ipv4("192.168.1.82"), ipv4("192.168.1.10")),
            config::remote_all_attempts_failed);
  EXPECT_EQ(clock.tick_count_ms() - before_ms, 3u * 3200u);
  EXPECT_EQ(count_of(lan.emulator_log("deaf"), "set-configuration from"), 3);
  // A local address the PC does not have: the socket cannot be set up.
  EXPECT_EQ(config::write_remote_module(clock, *search.row(81), pending, ipv4("192.168.1.81"), ipv4("192.168.1.99")),
            config::remote_socket_failed);
}

}  // namespace
