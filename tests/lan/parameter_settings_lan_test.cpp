// The parameter settings command against emulated modules, as the operator drives it:
// search, select, the dialog's new address and work mode, the write, the change record,
// and a new search and polling that find the module where it was sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/change_record.h"
#include "app/settings_file.h"
#include "config/module_writes.h"
#include "config/parameter_dialog.h"
#include "config/wireless_dialog.h"
#include "lan/lan_operator.h"
#include "platform/ipv4_address.h"
#include "support/temporary_directory.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;
using ui::ListId;
using D = config::ParameterDialog;

test::LanTopology one_module(const std::string& mac, int host, const std::string& extra) {
  return test::LanTopology("192.168.1.10/24")
      .add_sensor_module("m", 1, mac, "192.168.1." + std::to_string(host), "192.168.1.1", extra + "\nrestart_delay_ms = 300");
}

std::string record(const test::LanOperator& op) {
  return test::read_file(op.p.context.start_directory + "/chg_record.txt");
}

std::uint32_t counter_on_disk(const test::LanOperator& op) {
  test::ScriptedView quiet;
  app::Settings settings;
  app::read_settings(op.p.context.start_directory + "/" + app::settings_file_name, settings, quiet);
  return settings.change_record_counter;
}

// The module is found at its new address in UDP mode, and polling reads it there.
const discovery::ModuleRow& expect_found_and_polled(test::LanOperator& op, const std::string& line_address) {
  EXPECT_EQ(op.search().size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::modules).at(0).find(line_address), std::string::npos) << op.p.view.lines(ListId::modules)[0];
  const discovery::ModuleRow& row = op.row(0);
  EXPECT_EQ(row.work_mode, discovery::udp);
  op.p.window.on_command(ButtonId::start);
  EXPECT_EQ(op.p.view.lines(ListId::data).size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::data).at(0).find("+23.500℃/45.6%RH"), std::string::npos) << op.p.view.lines(ListId::data)[0];
  op.p.window.on_command(ButtonId::stop);
  return row;
}

TEST(ParameterSettingsLan, ANewNetworkSectionAndModeAreWrittenRecordedAndFoundAgain) {
  // Bytes the program never names, which it must send back as they came.
  test::VirtualLanAtPc lan(one_module("00:20:4a:0d:00:32", 50, "record_bytes = 4:A1B2\nrecord_bytes = 110:C3D4E5"));
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::LanOperator op;
  ASSERT_EQ(op.search().size(), 1u);
  op.parameter_settings(0, [](test::ScriptedDialog& v) {
    v.type(D::ip_edit, "192.168.1.77");
    v.type(D::mask_edit, "255.255.254.0");
    v.type(D::gateway_edit, "192.168.1.126");
    v.click(int(D::tcp_radio) + discovery::udp);
  });
  EXPECT_EQ(op.seen, (std::vector<std::string>{ui::texts::confirm_change, ui::texts::parameters_written}));
  EXPECT_TRUE(op.p.view.lines(ListId::modules).empty());

  // IP byte 3, host bits, gateway byte 3, the baud code (the emulator's 57600 becomes 38400)
  // and the two mode bytes.
  const std::string log = lan.emulator_log("m");
  EXPECT_NE(log.find("set-configuration changed offsets 3 6 15 17 28 29\n"), std::string::npos) << log;
  const std::string written = record(op);
  EXPECT_EQ(written.find("00000, <"), 0u) << written;
  EXPECT_NE(written.find(", <MAC:00204A-0D0032>, IP/MK/GIP:192.168.001.050/255.255.255.000/192.168.001.001, To--> "
                         "192.168.001.077/255.255.254.000/192.168.001.126\r\n"),
            std::string::npos)
      << written;
  EXPECT_EQ(written.find("WIFI"), std::string::npos);
  EXPECT_EQ(counter_on_disk(op), 1u);  // on disk before the window closes

  const discovery::ModuleRow& moved = expect_found_and_polled(op, "192.168.  1. 77");
  EXPECT_EQ(moved.host_bits, 9);
  EXPECT_EQ(moved.gateway.dotted(), "192.168.1.126");
  EXPECT_EQ(moved.record[4], 0xA1);
  EXPECT_EQ(moved.record[112], 0xE5);
}

TEST(ParameterSettingsLan, AWirelessModuleAlsoGetsItsWifiBlockByteForByteAndItsLine) {
  test::VirtualLanAtPc lan(one_module("00:20:4a:0d:00:3c", 60, "device_type = W8"));
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::LanOperator op;
  op.p.context.settings.change_record_counter = 41;  // a file created now starts again at 0
  ASSERT_EQ(op.search().size(), 1u);
  op.parameter_settings(
      0,
      [](test::ScriptedDialog& v) {
        v.type(D::ip_edit, "192.168.1.61");
        v.click(int(D::tcp_radio) + discovery::udp);
        v.click(D::wireless_button);
      },
      [](test::ScriptedDialog& v) { v.type(config::WirelessDialog::ssid_edit, "yard-7"); });
  EXPECT_EQ(op.ssid_shown, "plant-net");
  EXPECT_EQ(op.seen, (std::vector<std::string>{ui::texts::wireless_confirm, ui::texts::parameters_written}));

  // One block written, before the network section; the module reads back exactly the edited one below.
  const config::WirelessCopies& copies = op.p.context.wireless;
  const std::string log = lan.emulator_log("m");
  EXPECT_EQ(lan.emulator_logged_count("m", "wireless write block "), 1) << log;
  EXPECT_LT(log.find("wireless write block "), log.find("set-configuration from")) << log;
  // Bytes the dialog does not own came from the module and went back unchanged.
  EXPECT_TRUE(std::equal(copies.edited.begin() + 73, copies.edited.begin() + 133, copies.as_read.begin() + 73));
  const std::string written = record(op);
  const std::size_t second = written.find("\r\n") + 2;
  EXPECT_EQ(written.substr(0, 7), "00000, ");
  EXPECT_EQ(written.substr(second), "00000, ------------WIFIQV9K , SSID=yard-7; INFRASTRUCTURE; SEC=WEP64-OPEN KEY: L=05,HEX, 0A1B2C3D4E\r\n");

  expect_found_and_polled(op, "192.168.  1. 61");
  // The module now reports what was written.
  config::WirelessCopies again;
  ASSERT_EQ(config::read_selected_wireless(op.clock, op.row(0), again), 0);
  EXPECT_EQ(again.as_read, copies.edited);
  // Nothing edited: nothing is sent, and that counts as done.
  EXPECT_EQ(config::write_selected_wireless(op.clock, op.row(0), again), 0);
  EXPECT_EQ(lan.emulator_logged_count("m", "wireless write block "), 1);
}

TEST(ParameterSettingsLan, AModuleOutsideTheSubnetIsMovedIntoItByItsMac) {
  test::LanTopology topology("192.168.5.3/24");
  topology.add_sensor_module("m", 1, "00:20:4a:d0:00:0b", "10.0.0.7", "10.0.0.1", "port = 4001");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::LanOperator op;
  ASSERT_EQ(op.search().size(), 1u);  // listed from its ARP frames alone: its replies go to its gateway
  op.parameter_settings(0, [](test::ScriptedDialog&) { ADD_FAILURE() << "the dialog stayed open"; });
  EXPECT_EQ(op.seen, (std::vector<std::string>{ui::texts::outside_subnet_question, ui::texts::parameters_written}));
  EXPECT_NE(lan.emulator_log("m").find("address assignment 00 0B -> 192.168.5.1\n"), std::string::npos)
      << lan.emulator_log("m");
  EXPECT_EQ(record(op), "");  // nothing was written through the dialog

  ASSERT_EQ(op.search().size(), 1u);
  EXPECT_NE(op.p.view.lines(ListId::modules)[0].find("192.168.  5.  1"), std::string::npos)
      << op.p.view.lines(ListId::modules)[0];
}

}  // namespace
