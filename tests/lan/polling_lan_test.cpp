// Polling in the virtual LAN: the main window's Start, timer ticks and Stop against
// emulated modules of every kind, and the SNMP name request against a real SNMP agent.
#include <gtest/gtest.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "app/main_window.h"
#include "polling/polling_cycle.h"
#include "polling/query_frames.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_view.h"
#include "support/scripted_program.h"
#include "support/virtual_lan.h"

namespace {

using ui::ButtonId;
using ui::ListId;

// One module of each kind the data list tells apart, listed in this order.
test::LanTopology modules_of_every_kind() {
  test::LanTopology t("192.168.1.10/24");
  t.add_sensor_modules(1, 1, 101, "temperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03\nfirmware_d1 = 0x71\ncapability_d7 = 0x33");
  t.add_sensor_modules(1, 1, 102, "work_mode = UDP\ntemperature = -5\nhumidity = 61.2\nfirmware_d1 = 0x6F\ncapability_d7 = 0x33");
  t.add_sensor_modules(1, 1, 103, "work_mode = SNMP\nsnmp_name = 9A1\ntemperature = 21.4\nhumidity = 38.2\ndigital_inputs = 0x10");
  t.add_sensor_modules(1, 1, 104, "work_mode = AUDP");
  t.add_sensor_modules(1, 1, 105, "mode_bytes = C0 07");
  t.add_sensor_modules(1, 1, 106, "port = 4001");
  t.add_sensor_modules(1, 1, 107, "refuse_tcp = 1");
  t.add_sensor_modules(1, 1, 108, "silent_requests = 100000");
  t.add_sensor_modules(1, 1, 109, "silent_requests = 1\ntemperature = 19.75\nhumidity = 52.0\nfirmware_d1 = 0x71\ncapability_d7 = 0x20");
  t.add_sensor_modules(1, 1, 110, "bad_lrc = 1");
  t.add_sensor_modules(1, 1, 111, "data_reply_length = 26");
  t.add_sensor_modules(1, 1, 112, "lower_case_hex = 1\nfirmware_d1 = 0x7a\ncapability_d7 = 0x20");
  return t;
}

TEST(PollingLan, StartTicksAndStopOverEveryKindOfModule) {
  test::VirtualLanAtPc lan(modules_of_every_kind());
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ScriptedProgram p;
  app::MainWindow& window = p.window;
  ASSERT_TRUE(window.create());
  p.context.settings.refresh_period_ms = 0;  // taken unchanged from the settings file
  window.on_command(ButtonId::search);
  ASSERT_EQ(p.view.lines(ListId::modules).size(), 12u);

  p.view.messages.clear();
  window.on_command(ButtonId::start);
  // The AUDP module makes the window point at server mode first; the answer changes nothing.
  ASSERT_EQ(p.view.messages.size(), 1u);
  EXPECT_EQ(p.view.messages[0].buttons, ui::Buttons::yes_no);
  EXPECT_EQ(p.window.run_state(), app::RunState::polling);
  EXPECT_EQ(p.view.timer_period_ms(), 0);
  const std::vector<std::string> first = {
      "01--V71--+23.500℃/45.6%RH",
      "02--V6F---5.000℃/61.2%RH",
      "03--( 9A1  ) +21.400℃/38.2%RH  DI[5->0]: < 01 - 0000 > ",
      "04 --< 模块当前为主动上传模式 >--",
      "05 --<工作模式错误,无法建立连接,建议进行参数设置!>--",
      "06---< 非QV/QT9K模块! >---",
      "07 --<无法与模块建立连接!>--",
      "08---<模块无响应!>---",
      "09--V71--+19.750℃/52.0%RH",
      "10---<数据校验错误! >---",
      "11---<数据校验错误! >---",
      "12--V7A--+23.500℃/45.6%RH",
  };
  EXPECT_EQ(p.view.lines(ListId::data), first);
  EXPECT_FALSE(p.view.button_enabled(ButtonId::search));
  EXPECT_TRUE(p.view.button_enabled(ButtonId::stop));

  window.on_timer();
  std::vector<std::string> second = first;
  second[0] = "01--V71--+23.500℃/45.6%RH  DI[5->0]: < 00 - 0011 >";  // extended from the second cycle on
  EXPECT_EQ(p.view.lines(ListId::data), second);
  EXPECT_EQ(p.view.timer_period_ms(), 0);

  // Stop between cycles stops the timer and closes the socket of every kind of row (the state,
  // buttons and kept lines after Stop are the window's unit test's).
  window.on_command(ButtonId::stop);
  EXPECT_EQ(p.view.timer_period_ms(), -1);
  EXPECT_FALSE(p.context.polling.sockets_open);
  for (const auto& row : p.context.polling.rows) EXPECT_FALSE(row.socket.valid());

  // A second Start opens fresh sockets and decides the extended reading anew.
  window.on_command(ButtonId::start);
  EXPECT_TRUE(p.context.polling.sockets_open);
  EXPECT_EQ(p.view.lines(ListId::data), first);
  // Any other command stops polling first, to the end, then does its own work.
  window.on_command(ButtonId::basic_settings);  // the scripted window leaves the dialog at once
  EXPECT_EQ(p.window.run_state(), app::RunState::idle);
  EXPECT_FALSE(p.context.polling.sockets_open);

  window.on_command(ButtonId::start);
  ASSERT_TRUE(p.context.polling.sockets_open);
  window.on_close();  // closing while polling closes the sockets
  EXPECT_FALSE(p.context.polling.sockets_open);
}

// One listed module at ip, as a search leaves it.
discovery::ModuleTable one_module(std::uint8_t work_mode, platform::Ipv4Address ip) {
  discovery::ModuleTable modules;
  modules.shown_count = 1;
  modules.display_order[0] = 0;
  modules.rows[0].sensor_module = true;
  modules.rows[0].work_mode = work_mode;
  modules.rows[0].ip = ip;
  modules.rows[0].port = 10050;
  return modules;
}

// A real SNMP agent answers the program's own name request.
TEST(PollingLan, TakesTheNameFromARealSnmpAgent) {
  test::LanTopology topology("192.168.1.10/24");
  topology.add_sensor_modules(1, 1, 120);  // a TCP module: its emulator leaves UDP 161 to the agent
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::TemporaryDirectory directory;
  const std::string config = directory.file("snmpd.conf");
  std::ofstream(config) << "agentAddress udp:161\nrocommunity quinel\nsysName 9QV-LAB basement\n";
  const pid_t agent = fork();
  ASSERT_GE(agent, 0);
  if (agent == 0) {
    execlp("ip", "ip", "netns", "exec", lan.module_namespace("s1h120").c_str(), "snmpd", "-f", "-Lf", "/dev/null",
           "-C", "-c", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }

  const auto ip = platform::Ipv4Address::from_octets(192, 168, 1, 120);
  const discovery::ModuleTable modules = one_module(discovery::snmp, ip);
  polling::PollingTable table;
  platform::SystemWaitClock clock;
  const polling::QuerySettings settings{clock, 1, {}};
  ASSERT_EQ(polling::open_polling_sockets(modules, table, settings), 0);
  polling::SnmpName name;
  int result = -1;
  for (int attempt = 0; attempt < 30 && name.length == 0; ++attempt) {  // until the agent listens
    result = polling::read_snmp_name(0, name, modules, table, settings);
    if (name.length == 0) usleep(100000);
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(std::string(name.bytes.begin(), name.bytes.begin() + name.length), "9QV-LAB");
  polling::close_polling_sockets(table);
  kill(agent, SIGTERM);
  waitpid(agent, nullptr, 0);
}

// Each fault of one exchange, played by its own module, on a fake clock that records every
// pause; at 57600 bit/s every read waits 100 ms first. A reply is awaited 0.2 s, 0.8 s from a
// wireless module, 3.2 s in remote mode.
TEST(PollingLan, EachFaultOfAnExchangeGetsItsPausesAndRetries) {
  enum class Link { wired, wireless, remote, sockets_closed };
  const struct {
    const char* what;
    std::uint8_t mode;
    std::string fault;
    Link link;
    int result;
    std::vector<int> sleeps;
    std::uint32_t elapsed_ms;
  } cases[] = {
      {"oversize, then the reply", discovery::udp, "oversize_before_reply = 1", Link::wired, 27, {100, 30}, 130},
      {"always oversize", discovery::udp, "data_reply_length = 28", Link::wired, polling::query_receive_failed,
       {100, 30, 200, 100, 30, 200, 100, 30, 200}, 1590},
      {"empty datagram", discovery::udp, "empty_udp_reply = 1", Link::wired, polling::query_peer_closed,
       {100, 200, 100, 200, 100, 200}, 900},
      {"TCP peer that closed its side", discovery::tcp, "half_close_tcp = 1", Link::wired, polling::query_peer_closed,
       {100, 200, 100, 200, 100, 200}, 900},
      {"answers the second attempt", discovery::udp, "silent_requests = 1", Link::wired, 27, {100, 200, 100}, 600},
      {"wireless, answers the second attempt", discovery::udp, "silent_requests = 1", Link::wireless, 27,
       {100, 200, 100}, 1200},
      // Remote mode asks the remote address; datagrams from afar get 30 ms more.
      {"remote, answers the second attempt", discovery::udp, "silent_requests = 1", Link::remote, 27,
       {100, 200, 100, 30}, 3630},
      {"nothing is sent once the sockets are closed", discovery::udp, "", Link::sockets_closed, polling::query_not_open,
       {}, 0},
  };
  test::LanTopology topology("192.168.1.10/24");
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    if (cases[k].link == Link::sockets_closed) continue;  // nothing is ever sent there
    const std::string mode = cases[k].mode == discovery::udp ? "work_mode = UDP\n" : "";
    topology.add_sensor_modules(1, 1, static_cast<int>(101 + k), mode + cases[k].fault);
  }
  topology.add_sensor_modules(1, 1, 120, "work_mode = SNMP");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  for (std::size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    const auto ip = platform::Ipv4Address::from_octets(192, 168, 1, static_cast<std::uint8_t>(101 + k));
    test::FakeWaitClock clock(0);
    polling::QuerySettings settings{clock, 9, {}};
    discovery::ModuleTable modules = one_module(c.mode, ip);
    modules.rows[0].wireless = c.link == Link::wireless;
    if (c.link == Link::remote) {
      settings.remote = {true, ip, platform::Ipv4Address::from_octets(192, 168, 1, 10)};
      modules.rows[0].ip = {};
    }
    polling::PollingTable table;
    ASSERT_EQ(polling::open_polling_sockets(modules, table, settings), 0) << c.what;
    table.sockets_open = c.link != Link::sockets_closed;
    EXPECT_EQ(polling::query_module(0, polling::standard_reading_request(), 27, modules, table, settings), c.result)
        << c.what;
    EXPECT_EQ(clock.sleeps_ms(), c.sleeps) << c.what;
    EXPECT_EQ(clock.tick_count_ms(), c.elapsed_ms) << c.what;
  }

  // An SNMP row reads its name in the first cycle only and never takes the extended reading
  // (its lines are checked above).
  test::FakeWaitClock clock(0);
  const polling::QuerySettings settings{clock, 9, {}};
  const auto snmp_ip = platform::Ipv4Address::from_octets(192, 168, 1, 120);
  const discovery::ModuleTable modules = one_module(discovery::snmp, snmp_ip);
  polling::PollingTable table;
  ASSERT_EQ(polling::open_polling_sockets(modules, table, settings), 0);
  table.rows[0].extended = true;
  polling::polling_cycle(true, modules, table, settings);
  EXPECT_FALSE(table.rows[0].extended);
  polling::polling_cycle(false, modules, table, settings);
  EXPECT_EQ(clock.sleeps_ms(), (std::vector<int>{10, 2, 10, 2, 10, 2}));
}

}  // namespace
