// The upload server in the PC's namespace receiving the records of emulated modules in
// ATCP and AUDP work mode: real connections, real datagrams, the emulator's own encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <string>

#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "server/upload_server.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"

namespace {

using ui::ListId;

// An active-upload module at ip on subnet, its MAC ending in the digits of ip's last byte,
// pushing its readings in `mode` to receiver:8005 every 200 ms; named mode + last byte.
void add_uploader(test::LanTopology& topology, const std::string& mode, int subnet, const std::string& ip,
                  const std::string& receiver, int module_code = 7) {
  const std::string host = ip.substr(ip.rfind('.') + 1);
  topology.add_sensor_module(mode + host, subnet, "00:20:4a:0" + std::to_string(subnet) + ":00:" + host, ip, "-",
                             "work_mode = " + mode + "\nserver_ip = " + receiver +
                                 "\nserver_port = 8005\nupload_interval_ms = 200\nmodule_code = " +
                                 std::to_string(module_code) +
                                 "\ntemperature = -5\nhumidity = 40\ndigital_inputs = 0x21");
}

// The server of the PC over the scripted window, on the system's clock.
struct PcServer {
  explicit PcServer(bool tcp) {
    settings.protocol = tcp ? discovery::atcp : discovery::audp;
    settings.port = 8005;
  }
  void start() {
    ASSERT_EQ(server.start_server(), 0);
    server.banner();
  }

  bool pump_until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      view.watcher.dispatch(50);
    }
    return true;
  }

  // Summary rows (after the banner) whose counter has reached at least `count`.
  int rows_counted_at_least(int count) const {
    int rows = 0;
    for (int r = 0; r < state.summary.row_count; ++r) rows += state.summary.rows[r].counter >= static_cast<unsigned>(count);
    return rows;
  }

  netenv::AdapterTable adapters;
  netenv::ExternalAddresses external;
  polling::PollingTable polling;
  server::ServerSettings settings;
  server::ServerState state;
  test::ScriptedView view;
  platform::SystemWaitClock clock;
  server::UploadServer server{state, settings, adapters, external, polling, view, clock};
};

TEST(UploadServerLan, AtcpModulesKeepOneConnectionAndReconnectAfterARestart) {
  test::LanTopology topology("192.168.1.10/24");
  add_uploader(topology, "ATCP", 1, "192.168.1.20", "192.168.1.10", 0x42);
  add_uploader(topology, "ATCP", 1, "192.168.1.21", "192.168.1.10", 0x43);
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  PcServer pc(true);
  ASSERT_EQ(netenv::build_adapter_table(pc.adapters, platform::list_adapters(), pc.view), 0);
  pc.start();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(3) == 2; })) << lan.emulator_log("ATCP20");
  // Every record came over the one connection of its module: two distinct peers in the log.
  std::set<std::string> peers;
  for (const std::string& line : pc.view.lines(ListId::data)) {
    const auto at = line.find("<T: ");
    if (at != std::string::npos) peers.insert(line.substr(at, line.find('>', at) - at));
  }
  EXPECT_EQ(peers.size(), 2u);
  EXPECT_EQ(pc.state.connection_count, 2);
  const auto& rows = pc.view.lines(ListId::modules);
  EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const std::string& l) {
    return l.find("MAC: 00204A010020 -- MID: 0042 -- IP: 192.168.  1. 20 -- PORT: ") != std::string::npos;
  }));
  const auto& log = pc.view.lines(ListId::data);
  const auto data = std::find_if(log.begin(), log.end(), [](const std::string& l) { return l.find("<T: 192.168.  1. 2") != std::string::npos; });
  ASSERT_NE(data, log.end());
  EXPECT_NE(data->find(">     -5.000℃/40.0%RH  DI[5->0]: < 10 - 0001 >--"), std::string::npos) << *data;

  // Stopping drops both connections; the modules connect again to the new run.
  pc.server.stop_server();
  server::clear_upload_summary(pc.state);
  pc.start();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(2) == 2; }));
  EXPECT_EQ(pc.state.connection_count, 2);
}

// The server chose 192.168.1.10: it takes what is sent there and to 192.168.1.255, and
// nothing sent to the PC's other address on that subnet or to the other subnet's broadcast.
TEST(UploadServerLan, UdpTakesTheChosenAddressAndItsSubnetsBroadcastOnly) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(1, "192.168.1.11/24").add_subnet(2, "192.168.5.3/24");
  add_uploader(topology, "AUDP", 1, "192.168.1.30", "192.168.1.255");
  add_uploader(topology, "AUDP", 1, "192.168.1.31", "192.168.1.10");
  add_uploader(topology, "AUDP", 1, "192.168.1.32", "192.168.1.11");  // the PC's other address
  add_uploader(topology, "AUDP", 2, "192.168.5.40", "192.168.5.255");  // the other subnet's broadcast
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  PcServer pc(false);
  ASSERT_EQ(netenv::build_adapter_table(pc.adapters, platform::list_adapters(), pc.view), 0);
  ASSERT_EQ(pc.adapters.addresses[0].ip, platform::Ipv4Address::from_host_order(0xC0A8010A));  // 192.168.1.10
  pc.start();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(5) == 2; })) << lan.emulator_log("AUDP30");
  std::set<std::string> senders;
  for (const std::string& line : pc.view.lines(ListId::data)) {
    const auto at = line.find("<U: ");
    if (at != std::string::npos) senders.insert(line.substr(at + 4, 15));
  }
  EXPECT_EQ(senders, (std::set<std::string>{"192.168.  1. 30", "192.168.  1. 31"}));
  EXPECT_EQ(pc.state.connection_count, 2);
}

}  // namespace
