// Module repair against emulated modules: the presence probe, the address assignment by
// MAC tail, the module's restart at its new address and the setup-port script, as the
// operator sees them through the repair dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "discovery/captured_rows.h"
#include "discovery/module_search.h"
#include "maint/module_repair.h"
#include "maint/module_repair_dialog.h"
#include "maint/presence_probe.h"
#include "maint/repair_network.h"
#include "maint/setup_dialogue.h"
#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "platform/ipv4_address.h"
#include "platform/udp_socket.h"
#include "platform/wait_clock.h"
#include "rawlink/system_raw_link.h"
#include "support/scripted_dialog.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

constexpr const char* lost_mac = "00:20:4a:d0:00:0b";

// The system's clock, but the module's restart (9 s for a real module) is waited for 4 s:
// the emulator restarts in 1 s, and the kernel's unanswered resolution of the candidate
// address, made just before the assignment, takes 3 s to end. The bench times the real wait.
class ShortRestartClock : public platform::SystemWaitClock {
 public:
  std::vector<int> sleeps_ms;
  bool sleep_ms(int milliseconds) override {
    sleeps_ms.push_back(milliseconds);
    return SystemWaitClock::sleep_ms(milliseconds == maint::restart_wait_ms ? 4000 : milliseconds);
  }
};

// The PC on 192.168.5.3/24 and one module on its wire at `address`, its MAC ending 00 0B,
// its config completed by `extra`.
test::LanTopology one_module(const std::string& address, const std::string& gateway, const std::string& extra) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.5.3/24");
  const std::string ip = address.substr(0, address.find('/'));
  topology.add_module({"lost", 1, lost_mac, address, gateway, test::sensor_module_config(lost_mac, ip, gateway, extra)});
  return topology;
}

struct RepairRun {
  int dialog_result = -1;
  std::vector<test::ShownMessage> messages;  // the dialog's and the window's
  std::vector<int> sleeps_ms;
};

// In the PC's namespace: the repair dialog with 00-20-4A-D0-00-0B typed and confirmed.
RepairRun repair_by_dialog(const test::VirtualLan& lan, netenv::AdapterTable& adapters) {
  RepairRun run;
  test::PcNamespaceScope pc(lan);
  EXPECT_TRUE(pc.ok()) << pc.error();
  test::ScriptedView view;
  if (!adapters.adapter_table_valid) {
    EXPECT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view), 0);
  }
  rawlink::RawEthernetState raw_state;
  ShortRestartClock clock;
  rawlink::SystemRawLink raw_link(clock, discovery::raw_search_queries());
  maint::RepairNetwork network({adapters, raw_state, raw_link, false}, clock, view,
                               {maint::default_setup_password, false});
  maint::ModuleRepairDialog logic([&](maint::MacTail tail) {
    return maint::repair_module(adapters, network, {maint::RepairTarget::Origin::dialog, tail});
  });
  test::ScriptedDialog dialog(logic);
  EXPECT_TRUE(dialog.open());
  dialog.type(maint::ModuleRepairDialog::byte4_edit, "d0");
  dialog.type(maint::ModuleRepairDialog::byte5_edit, "00");
  dialog.type(maint::ModuleRepairDialog::byte6_edit, "0b");
  dialog.answers = {ui::Answer::ok};
  dialog.click(maint::ModuleRepairDialog::confirm_button);
  run.dialog_result = dialog.result();
  run.messages = dialog.messages;
  run.messages.insert(run.messages.end(), view.messages.begin(), view.messages.end());
  run.sleeps_ms = clock.sleeps_ms;
  return run;
}

struct Found {
  int result = -1;
  int rows = 0;
  discovery::ModuleRow row;
};

Found search(const test::VirtualLan& lan, netenv::AdapterTable& adapters) {
  test::PcNamespaceScope pc(lan);
  test::ScriptedView view;
  if (!adapters.adapter_table_valid) {
    EXPECT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view), 0);
  }
  discovery::ModuleTable table;
  discovery::reset_module_table(table);
  Found found;
  platform::SystemWaitClock clock;
  found.result = discovery::search_modules(clock, adapters, table, discovery::default_expected_port, view);
  found.rows = table.device_reply_count;
  if (found.rows > 0) found.row = table.rows[static_cast<std::size_t>(table.display_order[0])];
  return found;
}

bool has(const std::string& log, const std::string& line) { return log.find(line) != std::string::npos; }

TEST(RepairLan, BringsAModuleFromOutsideEverySubnetBackOnPort10050) {
  test::VirtualLan lan(one_module("10.0.0.7/24", "10.0.0.1", "port = 4001"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  netenv::AdapterTable adapters;
  ASSERT_EQ(search(lan, adapters).rows, 0);  // its replies go to its gateway
  RepairRun run = repair_by_dialog(lan, adapters);
  const std::string log = lan.emulator_log("lost");
  EXPECT_EQ(run.dialog_result, 1) << log;
  ASSERT_EQ(run.messages.size(), 1u);  // the confirmation, nothing after it
  EXPECT_NE(std::find(run.sleeps_ms.begin(), run.sleeps_ms.end(), maint::restart_wait_ms), run.sleeps_ms.end());

  EXPECT_TRUE(has(log, "address assignment 00 0B -> 192.168.5.1\n")) << log;
  // The password answered the prompt, then the channel section got its two answers and
  // the menu was left with 9.
  EXPECT_TRUE(has(log, "setup received 30 30 30 30\n")) << log;
  EXPECT_TRUE(has(log, "setup received 33 38 34 30 30 0D\n")) << log;
  EXPECT_TRUE(has(log, "setup received 31 30 30 35 30 0D\n")) << log;
  EXPECT_TRUE(has(log, "setup received 39 0D\nmodule-emulator: setup stored baud code 0 port 10050\n")) << log;

  // The module restarts with what it stored 1 s later, well within the window's 9 s pause.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Found found = search(lan, adapters);
  ASSERT_EQ(found.result, 0);
  ASSERT_EQ(found.rows, 1);
  EXPECT_EQ(found.row.ip, platform::Ipv4Address::from_octets(192, 168, 5, 1));
  EXPECT_EQ(found.row.port, 10050);
  EXPECT_EQ(found.row.baud_code, 0);
}

TEST(RepairLan, AModuleThatAnswersThePresenceProbeIsLeftAlone) {
  test::VirtualLan lan(one_module("192.168.5.20/24", "192.168.5.1", "port = 4001"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  netenv::AdapterTable adapters;
  RepairRun run = repair_by_dialog(lan, adapters);
  const std::string log = lan.emulator_log("lost");
  EXPECT_EQ(run.dialog_result, 1);
  EXPECT_TRUE(has(log, "presence probe 00 0B from 192.168.5.3:12345")) << log;
  EXPECT_FALSE(has(log, "address assignment")) << log;
  EXPECT_FALSE(has(log, "setup session")) << log;
}

TEST(RepairLan, SetupFaultsAsTheOperatorSeesThem) {
  {
    test::VirtualLan lan(one_module("10.0.0.7/24", "10.0.0.1", "short_menu = yes"));
    ASSERT_TRUE(lan.ok()) << lan.error();
    netenv::AdapterTable adapters;
    RepairRun run = repair_by_dialog(lan, adapters);
    const std::string log = lan.emulator_log("lost");
    EXPECT_EQ(run.dialog_result, 0) << log;
    ASSERT_EQ(run.messages.size(), 2u) << log;
    EXPECT_EQ(run.messages[1].text, ui::texts::repair_setup_failed);
    EXPECT_FALSE(has(log, "setup stored")) << log;
  }
  {
    // No password asked: the login types only a carriage return, and the repair succeeds.
    test::VirtualLan lan(one_module("10.0.0.7/24", "10.0.0.1", "no_password_prompt = yes"));
    ASSERT_TRUE(lan.ok()) << lan.error();
    netenv::AdapterTable adapters;
    RepairRun run = repair_by_dialog(lan, adapters);
    const std::string log = lan.emulator_log("lost");
    EXPECT_EQ(run.dialog_result, 1) << log;
    EXPECT_TRUE(has(log, "setup session opened\nmodule-emulator: setup received 0D\n")) << log;
    EXPECT_TRUE(has(log, "setup stored baud code 0 port 10050")) << log;
  }
}

TEST(RepairLan, AWrongSetupPasswordLeavesTheModuleUnrepaired) {
  test::VirtualLan lan(one_module("10.0.0.7/24", "10.0.0.1", "setup_password = 4321"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  netenv::AdapterTable adapters;
  RepairRun run = repair_by_dialog(lan, adapters);
  EXPECT_EQ(run.dialog_result, 0);
  ASSERT_EQ(run.messages.size(), 2u);
  EXPECT_EQ(run.messages[1].text, ui::texts::repair_setup_failed);
}

}  // namespace

namespace {

// Counts the presence probe's waits for a packet: one per packet caught, one for the silence.
class CountingClock : public platform::SystemWaitClock {
 public:
  int readable_waits = 0;
  platform::WaitResult wait_readable(int fd, long seconds, long microseconds) override {
    ++readable_waits;
    return SystemWaitClock::wait_readable(fd, seconds, microseconds);
  }
};

int presence_probes_logged(const std::string& log) {
  int count = 0;
  for (auto at = log.find("presence probe"); at != std::string::npos; at = log.find("presence probe", at + 1)) ++count;
  return count;
}

TEST(PresenceProbeLan, OneProbePerInterfaceAndTheWaitLastsWhileOthersTalk) {
  test::LanTopology topology = one_module("192.168.5.20/24", "192.168.5.1", "no_presence_answer = yes");
  topology.add_subnet(1, "192.168.6.3/24");  // a second address on the same adapter
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  // The module's namespace sends five datagrams to the PC, 300 ms apart, while the probe waits.
  std::thread chatter([&lan] {
    test::NamespaceScope module(lan.module_namespace("lost"));
    platform::SocketHandle socket = platform::open_udp_socket();
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      const std::uint8_t noise[] = {'n', 'o', 'i', 's', 'e'};
      platform::send_datagram(socket.fd(), platform::Ipv4Address::from_host_order(0xC0A80503u), 9, noise);
    }
  });
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  ASSERT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view), 0);
  ASSERT_EQ(adapters.address_count, 2);
  CountingClock clock;
  const maint::PresenceProbeResult result = maint::presence_probe(adapters, -1, {0x00, 0x0B}, clock);
  chatter.join();

  EXPECT_EQ(result.code, maint::presence_no_answer);
  EXPECT_FALSE(result.raw_not_permitted);
  EXPECT_EQ(presence_probes_logged(lan.emulator_log("lost")), 1) << lan.emulator_log("lost");
  EXPECT_GE(clock.readable_waits, 4);  // most of the five packets, then 0.6 s of silence
}

}  // namespace
