// The parameter settings command against emulated modules, as the operator drives it:
// search, select, the dialog's new address and work mode, the write, the change record,
// and a new search and polling that find the module where it was sent.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/change_record.h"
#include "app/settings_file.h"
#include "config/parameter_dialog.h"
#include "config/wireless_dialog.h"
#include "support/scripted_dialog.h"
#include "support/scripted_program.h"
#include "support/temporary_directory.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;
using ui::ListId;
using D = config::ParameterDialog;

// The system's clock, but the 9 s waits for a module's restart (after a write, and inside
// the re-addressing) last 4 s: the emulator restarts within 1 s, and the kernel's unanswered
// resolution of a candidate address, just before an assignment, takes 3 s to end.
class ShortPauseClock : public platform::SystemWaitClock {
 public:
  bool sleep_ms(int milliseconds) override {
    return SystemWaitClock::sleep_ms(milliseconds == app::after_write_pause_ms ? 4000 : milliseconds);
  }
};

test::LanTopology one_module(const std::string& mac, int host, const std::string& extra) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  const std::string ip = "192.168.1." + std::to_string(host);
  topology.add_module({"m", 1, mac, ip + "/24", "192.168.1.1",
                       test::sensor_module_config(mac, ip, "192.168.1.1", extra + "\nrestart_delay_ms = 300")});
  return topology;
}

// In the PC's namespace: the program searches, the operator selects the one module and
// answers the parameter dialog with a new address and UDP (and a new SSID when wireless).
struct Operator {
  ShortPauseClock clock;
  test::ScriptedProgram p{{}, &clock};
  std::vector<test::ShownMessage> dialog_messages;

  Operator() { EXPECT_TRUE(p.window.create()); }
  void search() {
    p.view.messages.clear();
    p.window.on_command(ButtonId::search);
  }
  void change_to(const char* ip, const char* ssid) {
    p.view.selection = {0};
    p.view.dialog_handler = [this, ip, ssid](ui::DialogLogic& logic) {
      test::ScriptedDialog v(logic);
      if (dynamic_cast<config::WirelessDialog*>(&logic)) {
        v.open();
        v.type(config::WirelessDialog::ssid_edit, ssid);
        v.click(config::WirelessDialog::ok_button);
        return v.result();
      }
      if (!v.open()) return v.result();
      v.type(D::ip_edit, ip);
      v.click(int(D::tcp_radio) + discovery::udp);
      if (ssid) v.click(D::wireless_button);
      v.click(D::ok_button);
      dialog_messages = v.messages;
      return v.result();
    };
    p.view.messages.clear();
    p.window.on_command(ButtonId::parameter_settings);
  }
  std::string record() const { return test::read_file(p.context.start_directory + "/chg_record.txt"); }
  std::uint32_t counter_on_disk() const {
    test::ScriptedView quiet;
    app::Settings settings;
    app::read_settings(p.context.start_directory + "/" + app::settings_file_name, settings, quiet);
    return settings.change_record_counter;
  }
};

void expect_found_and_polled(Operator& op, int host, const std::string& line_address) {
  op.search();
  ASSERT_EQ(op.p.view.lines(ListId::modules).size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::modules)[0].find(line_address), std::string::npos) << op.p.view.lines(ListId::modules)[0];
  const discovery::ModuleRow& row = op.p.context.modules.rows[op.p.context.modules.display_order[0]];
  EXPECT_EQ(row.ip.octet(3), host);
  EXPECT_EQ(row.work_mode, discovery::udp);
  op.p.window.on_command(ButtonId::start);
  ASSERT_EQ(op.p.view.lines(ListId::data).size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::data)[0].find("+23.500℃/45.6%RH"), std::string::npos) << op.p.view.lines(ListId::data)[0];
  op.p.window.on_command(ButtonId::stop);
}

TEST(ParameterSettingsLan, ANewAddressAndModeAreWrittenRecordedAndFoundAgain) {
  test::VirtualLan lan(one_module("00:20:4a:0d:00:32", 50, ""));
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  Operator op;
  op.search();
  ASSERT_EQ(op.p.view.lines(ListId::modules).size(), 1u);
  op.change_to("192.168.1.77", nullptr);
  ASSERT_EQ(op.dialog_messages.size(), 1u);
  EXPECT_EQ(op.dialog_messages[0].text, ui::texts::confirm_change);
  ASSERT_EQ(op.p.view.messages.size(), 1u);
  EXPECT_EQ(op.p.view.messages[0].text, ui::texts::parameters_written);
  EXPECT_TRUE(op.p.view.lines(ListId::modules).empty());

  // IP byte 3, the baud code (the emulator's 57600 becomes 38400) and the two mode bytes.
  const std::string log = lan.emulator_log("m");
  EXPECT_NE(log.find("set-configuration changed offsets 3 17 28 29\n"), std::string::npos) << log;
  const std::string record = op.record();
  EXPECT_EQ(record.find("00000, <"), 0u) << record;
  EXPECT_NE(record.find(", <MAC:00204A-0D0032>, IP/MK/GIP:192.168.001.050/255.255.255.000/192.168.001.001, To--> "
                        "192.168.001.077/255.255.255.000/192.168.001.001\r\n"),
            std::string::npos)
      << record;
  EXPECT_EQ(record.find("WIFI"), std::string::npos);
  EXPECT_EQ(op.counter_on_disk(), 1u);  // on disk before the window closes

  expect_found_and_polled(op, 77, "192.168.  1. 77");
}

TEST(ParameterSettingsLan, AWirelessModuleAlsoGetsItsWifiBlockAndLine) {
  test::VirtualLan lan(one_module("00:20:4a:0d:00:3c", 60, "device_type = W8"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  Operator op;
  op.p.context.settings.change_record_counter = 41;  // a file created now starts again at 0
  op.search();
  ASSERT_EQ(op.p.view.lines(ListId::modules).size(), 1u);
  op.change_to("192.168.1.61", "yard-7");
  ASSERT_EQ(op.dialog_messages.size(), 1u);
  EXPECT_EQ(op.dialog_messages[0].text, ui::texts::wireless_confirm);
  EXPECT_EQ(op.p.view.messages.size(), 1u);

  const std::string log = lan.emulator_log("m");
  EXPECT_NE(log.find("wireless write block "), std::string::npos) << log;
  EXPECT_LT(log.find("wireless write block "), log.find("set-configuration from")) << log;
  const std::string record = op.record();
  const std::size_t second = record.find("\r\n") + 2;
  EXPECT_EQ(record.substr(0, 7), "00000, ");
  EXPECT_EQ(record.substr(second), "00000, ------------WIFIQV9K , SSID=yard-7; INFRASTRUCTURE; SEC=WEP64-OPEN KEY: L=05,HEX, 0A1B2C3D4E\r\n");

  expect_found_and_polled(op, 61, "192.168.  1. 61");
}

TEST(ParameterSettingsLan, AModuleOutsideTheSubnetIsMovedIntoItByItsMac) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.5.3/24");
  const char* mac = "00:20:4a:d0:00:0b";
  topology.add_module({"m", 1, mac, "10.0.0.7/24", "10.0.0.1", test::sensor_module_config(mac, "10.0.0.7", "10.0.0.1", "port = 4001")});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  Operator op;
  op.search();  // listed from its ARP frames alone: its replies go to its gateway
  ASSERT_EQ(op.p.view.lines(ListId::modules).size(), 1u);
  op.p.view.selection = {0};
  op.p.view.dialog_handler = [&op](ui::DialogLogic& logic) {
    test::ScriptedDialog v(logic);
    v.open();  // the question is answered Yes
    op.dialog_messages = v.messages;
    return v.result();
  };
  op.p.view.messages.clear();
  op.p.window.on_command(ButtonId::parameter_settings);
  ASSERT_GE(op.dialog_messages.size(), 1u);
  EXPECT_EQ(op.dialog_messages[0].text, ui::texts::outside_subnet_question);
  EXPECT_EQ(op.dialog_messages.size(), 1u) << op.dialog_messages.back().text;
  ASSERT_EQ(op.p.view.messages.size(), 1u) << op.p.view.messages[0].text;
  EXPECT_EQ(op.p.view.messages[0].text, ui::texts::parameters_written);
  EXPECT_NE(lan.emulator_log("m").find("address assignment 00 0B -> 192.168.5.1\n"), std::string::npos)
      << lan.emulator_log("m");
  EXPECT_EQ(op.record(), "");  // nothing was written through the dialog

  op.search();
  ASSERT_EQ(op.p.view.lines(ListId::modules).size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::modules)[0].find("192.168.  5.  1"), std::string::npos)
      << op.p.view.lines(ListId::modules)[0];
}

}  // namespace
