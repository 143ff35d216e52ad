// Server mode on a sensor LAN without Internet and without a quorvane.conf: the settings
// dialog opens with no external address and the server receives the modules' records.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "server/server_settings_dialog.h"
#include "support/scripted_dialog.h"
#include "support/scripted_program.h"
#include "support/virtual_lan.h"

namespace {

using ui::ListId;

TEST(ServerModeLan, StartsOnAnIsolatedLanWithoutAServicesFile) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  const char* upload = "work_mode = AUDP\nserver_ip = 192.168.1.10\nserver_port = 8005\nupload_interval_ms = 200\n"
                       "module_code = 0x0042\ntemperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03";
  topology.add_module({"audp", 1, "00:20:4a:12:34:56", "192.168.1.100/24", "-",
                       test::sensor_module_config("00:20:4a:12:34:56", "192.168.1.100", "0.0.0.0", upload)});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ScriptedProgram program;
  ASSERT_TRUE(program.window.create());
  program.context.state.server_mode = true;
  program.view.messages.clear();
  std::string external;
  program.view.dialog_handler = [&](ui::DialogLogic& logic) {
    using S = server::ServerSettingsDialog;
    test::ScriptedDialog dialog(logic);
    if (!dialog.open()) return dialog.result();
    external = dialog.text(S::external1_text);
    dialog.click(S::udp_radio);
    dialog.click(S::ok_button);
    return dialog.result();
  };
  program.window.on_command(ui::ButtonId::start);
  EXPECT_EQ(external, "--none--");
  EXPECT_TRUE(program.view.messages.empty());  // nothing configured, so nothing failed
  ASSERT_EQ(program.window.run_state(), app::RunState::serving);
  EXPECT_EQ(program.view.lines(ListId::modules)[0], "Server: UDP;  内/外IP: 192.168.1.10/--none--;   PORT:8005; ");

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  auto received = [&] {
    const auto& log = program.view.lines(ListId::data);
    return std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.find("<U: 192.168.  1.100/") != std::string::npos && line.find("+23.500") != std::string::npos;
    });
  };
  while (!received() && std::chrono::steady_clock::now() < deadline) program.view.watcher.dispatch(50);
  EXPECT_TRUE(received()) << lan.emulator_log("audp");
  program.window.on_command(ui::ButtonId::stop);
}

}  // namespace
