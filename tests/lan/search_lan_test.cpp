// The search against emulated modules in the virtual LAN: real broadcast, real replies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "discovery/module_search.h"
#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "support/scripted_program.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"
#include "unit/discovery_test_bytes.h"

namespace {

struct SearchRun {
  netenv::AdapterTable adapters;
  discovery::ModuleTable table;
  test::ScriptedView view;
  int result = 1;
};

// Builds the adapter table (in the PC's namespace of a VirtualLanAtPc) and searches once.
void search_in(SearchRun& run) {
  ASSERT_EQ(netenv::build_adapter_table(run.adapters, platform::list_adapters(), run.view), 0);
  discovery::reset_module_table(run.table);
  platform::SystemWaitClock clock;
  run.result = discovery::search_modules(clock, run.adapters, run.table, discovery::default_expected_port, run.view);
}

TEST(SearchLan, LeavesOutAnAdapterThatIsDown) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(2, "192.168.5.3/24");
  topology.add_sensor_modules(1, 2, 100).add_sensor_modules(2, 1, 40);
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  ASSERT_EQ(std::system("ip link set lan2 down"), 0);  // a child of this thread, in the PC's namespace

  SearchRun run;
  search_in(run);
  ASSERT_EQ(run.result, 0);
  EXPECT_TRUE(run.view.messages.empty());
  EXPECT_EQ(run.adapters.address_count, 1);
  const auto& lines = run.view.lines(ui::ListId::modules);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("192.168.  1.100 [1:"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("192.168.  1.101 [1:"), std::string::npos) << lines[1];

  platform::SystemWaitClock clock;
  // No address entry: nobody is asked, and that is no error.
  netenv::AdapterTable none;
  discovery::ModuleTable table;
  test::ScriptedView quiet;
  EXPECT_EQ(discovery::search_modules(clock, none, table, discovery::default_expected_port, quiet), 0);
  EXPECT_TRUE(quiet.messages.empty());
  EXPECT_TRUE(quiet.lines(ui::ListId::modules).empty());
  // A subnet the PC has no route to: the broadcast cannot leave.
  netenv::AdapterTable unroutable = discovery_test::adapters_with({{"10.0.0.1", "255.0.0.0", 0}});
  EXPECT_EQ(discovery::search_modules(clock, unroutable, table, discovery::default_expected_port, quiet),
            discovery::search_device_pass_failed);
  ASSERT_EQ(quiet.texts(), std::vector<std::string>{ui::texts::search_error_device_pass});
}

// The demo's modules as the window lists them after a search: one of each kind, the one
// outside the PC's subnets too.
TEST(SearchLan, ListsEveryModuleOfTheDemoLanInAddressOrder) {
  test::VirtualLanAtPc lan(std::filesystem::path(QV_SOURCE_DIR) / "sim/demo/demo.topology");
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::ScriptedProgram program;
  ASSERT_TRUE(program.window.create());
  program.window.on_command(ui::ButtonId::search);
  const std::vector<std::string> expected = {
      "01  T -  192.168.  1. 57 [1:192.168.xx]D <00204A-D00007>A  10050 <192.168.1.1/255.255.255.0>",
      "02  T -  192.168.  1.101 [1:192.168.xx]  <00204A-D00001>A  10050 <192.168.1.1/255.255.255.0>",
      "03  U -  192.168.  1.102 [1:192.168.xx]  <00204A-D00002>A  10050 <192.168.1.1/255.255.255.0>",
      "04  S -  192.168.  1.103 [1:192.168.xx]  <00204A-D00003>S  10050 <192.168.1.1/255.255.255.0>",
      "05 AU -  192.168.  1.104 [1:192.168.xx]  <00204A-D00004>A  10050 <192.168.1.1/255.255.255.0>",
      "06 AT -  192.168.  1.105 [1:192.168.xx]  <00204A-D00005>A  10050 <192.168.1.1/255.255.255.0>",
      "07  T -W 192.168.  1.106 [1:192.168.xx]  <00204A-D00006>A  10050 <192.168.1.1/255.255.255.0>",
      "08  T -  192.168.  1.108 [1:192.168.xx]  <00204A-D00008>A   4001 <192.168.1.1/255.255.255.0>",
      "09  E -  192.168.  1.109 [1:192.168.xx]  <00204A-D00009>A  10050 <192.168.1.1/255.255.255.0>",
      "10  T -  192.168.  5. 20 [2:192.168.xx]  <00204A-D0000A>A  10050 <192.168.5.1/255.255.255.0>",
      "11    *   10.  0.  0.  7 [2:192.168.xx]  <00204A-D0000B>   ----- <10.0.0.1/--.--.--.-->",
  };
  EXPECT_EQ(program.view.lines(ui::ListId::modules), expected);
  EXPECT_EQ(program.view.selection, std::vector<int>{0});
}

TEST(SearchLan, KeepsTheFirst32ConfigurationRepliesOf33Modules) {
  test::LanTopology topology("192.168.1.10/24");
  topology.add_sensor_modules(1, 33, 100);
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  SearchRun run;
  search_in(run);
  EXPECT_EQ(run.table.device_reply_count, 32);
  EXPECT_EQ(run.table.shown_count, 32);
  EXPECT_EQ(run.view.lines(ui::ListId::modules).size(), 32u);
  // Every stored row is one of the 33 modules, each at most once.
  std::set<platform::Ipv4Address> addresses;
  for (int i = 0; i < 32; ++i) {
    const platform::Ipv4Address ip = run.table.rows[run.table.display_order[i]].ip;
    EXPECT_GE(ip.octet(3), 100);
    EXPECT_LE(ip.octet(3), 132);
    addresses.insert(ip);
  }
  EXPECT_EQ(addresses.size(), 32u);
}

TEST(SearchLan, IgnoresMalformedReplies) {
  test::LanTopology topology("192.168.1.10/24");
  topology.add_sensor_modules(1, 2, 100);
  // Each faulty sender answers only one of the two queries, and that one wrongly, so a
  // correct search must not count it at all.
  const char* const faults[] = {
      "no_config_reply = 1\ndevice_reply_length = 29",  "no_config_reply = 1\ndevice_reply_length = 31",
      "no_config_reply = 1\ndevice_reply_command = F6", "no_device_reply = 1\nconfig_reply_command = F8",
      "no_device_reply = 1\nconfig_reply_length = 123", "no_device_reply = 1\nconfig_reply_length = 125",
      "no_device_reply = 1\nconfig_reply_length = 400",
  };
  int host = 150;
  for (const char* fault : faults) topology.add_sensor_modules(1, 1, host++, fault);
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  SearchRun run;
  search_in(run);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(run.view.messages.empty());
  EXPECT_EQ(run.table.device_reply_count, 2);
  EXPECT_EQ(run.table.shown_count, 2);
}

TEST(SearchLan, AModuleSilentToTheDeviceQueryGetsOneRetry) {
  struct Case {
    const char* config;
    int result;
    std::vector<std::string> messages;
    std::size_t lines;
  } cases[] = {
      {"silent_device_queries = 1", 0, {}, 2},
      {"no_device_reply = 1", discovery::search_counts_differ, {"数据读取不全，请重新搜索一次!"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    test::LanTopology topology("192.168.1.10/24");
    topology.add_sensor_modules(1, 1, 100);
    topology.add_sensor_modules(1, 1, 120, c.config);
    test::VirtualLanAtPc lan(topology);
    ASSERT_TRUE(lan.ok()) << lan.error();

    SearchRun run;
    search_in(run);
    EXPECT_EQ(run.result, c.result);
    EXPECT_EQ(run.view.texts(), c.messages);
    EXPECT_EQ(run.view.lines(ui::ListId::modules).size(), c.lines);
  }
}

}  // namespace
