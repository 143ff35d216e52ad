// The faults an emulated module can play while it is written to or repaired, each seen
// as the operator sees it through the command used; and the remote write.
#include <gtest/gtest.h>

#include <string>

#include "config/module_writes.h"
#include "lan/lan_operator.h"
#include "support/ipv4_text.h"
#include "support/fake_wait_clock.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

namespace t = ui::texts;
using D = config::ParameterDialog;

// A module whose MAC ends in 0d 00 and the digits of host (10..99), at 192.168.1.<host> on the
// PC's subnet or, when outside, at 10.0.0.<host> behind a gateway that does not exist.
void add(test::LanTopology& topology, const char* name, int host, const std::string& config, bool outside = false) {
  const std::string net = outside ? "10.0.0." : "192.168.1.";
  topology.add_sensor_module(name, 1, "00:20:4a:0d:00:" + std::to_string(host), net + std::to_string(host), net + "1",
                             config);
}

TEST(ModuleWriteLan, EachModuleFaultShowsTheOperatorItsMessage) {
  enum Command { write_address, edit_ssid, repair };
  struct Case {
    const char* name;
    int host;
    const char* config;
    bool outside;
    Command command;
    std::vector<std::string> seen;
    const char* ssid_shown;  // "" when the wireless dialog never opened
    const char* logged;      // a line the emulator logs, or null
    const char* not_logged;
  };
  const char* w8 = "device_type = W8\n";
  const Case cases[] = {
      {"noack", 71, "no_set_ack = yes\nrestart_delay_ms = 60000", false, write_address,
       {t::confirm_change, t::ip_write_failed}, "", "set-configuration from", nullptr},
      // Any address may acknowledge.
      {"otherack", 72, "set_ack_source = 192.168.1.250\nrestart_delay_ms = 60000", false, write_address,
       {t::confirm_change, t::parameters_written}, "", "acknowledged from 192.168.1.250", nullptr},
      {"badxor", 73, "wireless_bad_checksum = yes", false, edit_ssid,
       {t::wireless_read_failed}, "", nullptr, nullptr},
      // Two stale replies come first; the last, the module's real block, is the one shown.
      {"stale", 76, "wireless_stale_replies = 2", false, edit_ssid,
       {t::wireless_confirm, t::parameters_written}, "plant-net", "wireless write block", nullptr},
      {"nowack", 77, "no_wireless_ack = yes", false, edit_ssid,
       {t::wireless_confirm, t::wireless_write_failed}, "plant-net", "wireless write block", "set-configuration from"},
      // A module that answers the presence probe is left alone: the repair is done.
      {"present", 78, "", false, repair, {t::parameters_written}, "", "presence probe 00 78 from",
       "address assignment"},
      // (No answer: the repair LAN test follows such a module through its new address.)
      {"shortmenu", 81, "short_menu = yes", true, repair, {t::repair_setup_failed}, "", nullptr, "setup stored"},
      // No password asked: the login types only a carriage return.
      {"nopassword", 82, "no_password_prompt = yes", true, repair,
       {t::parameters_written}, "", "setup session opened\nmodule-emulator: setup received 0D\n", nullptr},
      {"wrongpassword", 83, "setup_password = 4321", true, repair, {t::repair_setup_failed}, "", nullptr, "setup stored"},
  };
  test::LanTopology topology("192.168.1.10/24");
  for (const Case& c : cases) {
    add(topology, c.name, c.host, (c.command == edit_ssid ? w8 : "") + std::string(c.config), c.outside);
  }
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::LanOperator op;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.command == repair) {
      op.repair({"0d", "00", std::to_string(c.host)});
    } else {
      op.search();
      const int line = op.line_of(c.host);
      ASSERT_GE(line, 0);
      if (c.command == write_address) {
        const std::string ip = "192.168.1." + std::to_string(c.host + 100);
        op.parameter_settings(line, [&](test::ScriptedDialog& v) { v.type(D::ip_edit, ip); });
      } else {
        // The operator leaves when the wireless parameters cannot be read.
        op.parameter_settings(line,
                              [&op](test::ScriptedDialog& v) {
                                v.click(D::wireless_button);
                                if (op.ssid_shown.empty()) v.click(D::leave_button);
                              },
                              [](test::ScriptedDialog& v) { v.type(config::WirelessDialog::ssid_edit, "yard-9"); });
      }
    }
    EXPECT_EQ(op.seen, c.seen) << lan.emulator_log(c.name);
    EXPECT_EQ(op.ssid_shown, c.ssid_shown);
    EXPECT_TRUE(!c.logged || lan.emulator_logs(c.name, c.logged)) << lan.emulator_log(c.name);
    EXPECT_TRUE(!c.not_logged || lan.emulator_logged_count(c.name, c.not_logged) == 0) << lan.emulator_log(c.name);
  }
  EXPECT_EQ(lan.emulator_logged_count("stale", "wireless read"), 1);
}

TEST(ModuleWriteLan, RemoteWriteSendsNoNetworkSectionAndTriesThreeTimes) {
  test::LanTopology topology("192.168.1.10/24");
  add(topology, "remote", 81, "restart_delay_ms = 60000");
  add(topology, "deaf", 82, "no_set_ack = yes\nrestart_delay_ms = 60000");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::LanOperator op;
  ASSERT_EQ(op.search().size(), 2u);
  discovery::ModuleRow& remote = op.row(op.line_of(81));
  discovery::ModuleRow& deaf = op.row(op.line_of(82));

  const platform::Ipv4Address local = test::ipv4("192.168.1.10");
  netenv::PendingParameters pending;
  pending.new_module_ip = test::ipv4("10.9.9.9");  // never sent by a remote write
  pending.work_mode = discovery::udp;
  test::FakeWaitClock clock;
  EXPECT_EQ(config::write_remote_module(clock, remote, pending, remote.ip, local), 0);
  EXPECT_EQ(clock.sleeps_ms(), std::vector<int>{20});
  EXPECT_TRUE(lan.emulator_logs("remote", "set-configuration from 192.168.1.10 record"));
  EXPECT_NE(lan.emulator_log("remote").find("changed offsets 28 29\n"), std::string::npos) << lan.emulator_log("remote");

  const std::uint32_t before_ms = clock.tick_count_ms();
  EXPECT_EQ(config::write_remote_module(clock, deaf, pending, deaf.ip, local), config::remote_all_attempts_failed);
  EXPECT_EQ(clock.tick_count_ms() - before_ms, 3u * 3200u);
  EXPECT_EQ(lan.emulator_logged_count("deaf", "set-configuration from"), 3);
  // A local address the PC does not have: the socket cannot be set up.
  EXPECT_EQ(config::write_remote_module(clock, remote, pending, remote.ip, test::ipv4("192.168.1.99")),
            config::remote_socket_failed);
}

}  // namespace
