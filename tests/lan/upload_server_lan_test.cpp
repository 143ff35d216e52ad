// The upload server in the PC's namespace receiving the records of emulated modules in
// ATCP and AUDP work mode: real connections, real datagrams, the emulator's own encoding.
#include <arpa/inet.h>
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

constexpr std::uint16_t server_port = 8005;

// An active-upload module at 192.168.1.<host>, MAC 00:20:4a:01:00:<host digits>, pushing
// every 200 ms to the PC's 192.168.1.10.
test::LanModule uploader(const char* mode, int host, int module_code) {
  const std::string ip = "192.168.1." + std::to_string(host);
  const std::string mac = "00:20:4a:01:00:" + std::to_string(host);
  const std::string extra = std::string("work_mode = ") + mode +
                            "\nserver_ip = 192.168.1.10\nserver_port = " + std::to_string(server_port) +
                            "\nupload_interval_ms = 200\nmodule_code = " + std::to_string(module_code) +
                            "\ntemperature = -5\nhumidity = 40\ndigital_inputs = 0x21";
  return {std::string(mode) + std::to_string(host), 1, mac, ip + "/24", "192.168.1.1",
          test::sensor_module_config(mac, ip, "192.168.1.1", extra)};
}

// The server of the PC with the scripted window; log times fixed, intervals on the real clock.
// Real ticks and waits; the log's local time is always noon.
struct NoonClock : platform::SystemWaitClock {
  std::tm local_time() override {
    std::tm noon{};
    noon.tm_hour = 12;
    return noon;
  }
};

struct PcServer {
  explicit PcServer(bool tcp) {
    settings.protocol = tcp ? discovery::atcp : discovery::audp;
    settings.port = server_port;
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
  NoonClock clock;
  server::UploadServer server{state, settings, adapters, external, polling, view, clock};
};

// The summary row of the module at host with its identifier.
std::string summary_row(PcServer& pc, int host, const char* module_id) {
  const std::string identity = "MAC: 00204A0100" + std::to_string(host) + " -- MID: " + module_id + " -- IP: ";
  for (const std::string& line : pc.view.lines(ListId::modules)) {
    if (line.find(identity) != std::string::npos) return line;
  }
  ADD_FAILURE() << "no summary row for host " << host;
  return {};
}

TEST(UploadServerLan, AtcpModulesKeepOneConnectionAndReconnectAfterARestart) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_module(uploader("ATCP", 20, 0x42)).add_module(uploader("ATCP", 21, 0x43));
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope scope(lan);
  ASSERT_TRUE(scope.ok()) << scope.error();

  PcServer pc(true);
  ASSERT_EQ(netenv::build_adapter_table(pc.adapters, platform::list_adapters(), pc.view), 0);
  ASSERT_EQ(pc.server.start_server(), 0);
  pc.server.banner();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(3) == 2; })) << lan.emulator_log("ATCP20");
  // Every record came over the one connection of its module: two distinct peers in the log.
  std::set<std::string> peers;
  for (const std::string& line : pc.view.lines(ListId::data)) {
    const auto at = line.find("<T: ");
    if (at != std::string::npos) peers.insert(line.substr(at, line.find('>', at) - at));
  }
  EXPECT_EQ(peers.size(), 2u);
  EXPECT_EQ(pc.state.connection_count, 2);
  const std::string row = summary_row(pc, 20, "0042");
  EXPECT_NE(row.find(" -- IP: 192.168.  1. 20 -- PORT: "), std::string::npos) << row;
  const auto& log = pc.view.lines(ListId::data);
  const auto data = std::find_if(log.begin(), log.end(), [](const std::string& l) { return l.find("<T: 192.168.  1. 2") != std::string::npos; });
  ASSERT_NE(data, log.end());
  EXPECT_NE(data->find(">     -5.000℃/40.0%RH  DI[5->0]: < 10 - 0001 >--"), std::string::npos) << *data;

  // Stopping drops both connections; the modules connect again to the new run.
  pc.server.stop_server();
  server::clear_upload_summary(pc.state);
  ASSERT_EQ(pc.server.start_server(), 0);
  pc.server.banner();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(2) == 2; }));
  EXPECT_EQ(pc.state.connection_count, 2);
}

// A module at ip uploading over UDP to receiver, every 200 ms.
test::LanModule audp_uploader(const std::string& name, int subnet, const std::string& ip, const std::string& receiver) {
  const std::string mac = "00:20:4a:02:00:" + ip.substr(ip.rfind('.') + 1);
  const std::string extra = "work_mode = AUDP\nserver_ip = " + receiver + "\nserver_port = " +
                            std::to_string(server_port) + "\nupload_interval_ms = 200\nmodule_code = 0x0007";
  return {name, subnet, mac, ip + "/24", "-", test::sensor_module_config(mac, ip, "0.0.0.0", extra)};
}

// The server chose 192.168.1.10: it takes what is sent there and to 192.168.1.255, and
// nothing sent to the PC's other address on that subnet or to the other subnet's broadcast.
TEST(UploadServerLan, UdpTakesTheChosenAddressAndItsSubnetsBroadcastOnly) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(1, "192.168.1.11/24").add_subnet(2, "192.168.5.3/24");
  topology.add_module(audp_uploader("broadcast", 1, "192.168.1.30", "192.168.1.255"))
      .add_module(audp_uploader("direct", 1, "192.168.1.31", "192.168.1.10"))
      .add_module(audp_uploader("otheraddress", 1, "192.168.1.32", "192.168.1.11"))
      .add_module(audp_uploader("othersubnet", 2, "192.168.5.40", "192.168.5.255"));
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope scope(lan);
  ASSERT_TRUE(scope.ok()) << scope.error();

  PcServer pc(false);
  ASSERT_EQ(netenv::build_adapter_table(pc.adapters, platform::list_adapters(), pc.view), 0);
  ASSERT_EQ(pc.adapters.addresses[0].ip, platform::Ipv4Address::from_host_order(0xC0A8010A));  // 192.168.1.10
  ASSERT_EQ(pc.server.start_server(), 0);
  pc.server.banner();
  ASSERT_TRUE(pc.pump_until([&] { return pc.rows_counted_at_least(5) == 2; })) << lan.emulator_log("broadcast");
  std::set<std::string> senders;
  for (const std::string& line : pc.view.lines(ListId::data)) {
    const auto at = line.find("<U: ");
    if (at != std::string::npos) senders.insert(line.substr(at + 4, 15));
  }
  EXPECT_EQ(senders, (std::set<std::string>{"192.168.  1. 30", "192.168.  1. 31"}));
  EXPECT_EQ(pc.state.connection_count, 2);
}

}  // namespace
