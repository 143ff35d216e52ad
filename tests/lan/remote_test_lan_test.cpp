// The remote test through the router: the program in the PC's namespace, driven command by
// command over the scripted view, against modules on a subnet that is not the PC's.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>

#include "config/parameter_dialog.h"
#include "config/work_mode_dialog.h"
#include "maint/remote_test_dialog.h"
#include "netenv/basic_settings_dialog.h"
#include "server/server_settings_dialog.h"
#include "support/fake_wait_clock.h"
#include "support/remote_site.h"
#include "support/scripted_dialog.h"
#include "support/scripted_program.h"
#include "support/virtual_internet_sites.h"

namespace {

using ui::ButtonId;
using ui::ListId;
namespace site = test::remote_site;
using Texts = std::vector<std::string>;

class RemoteTestLan : public test::SharedLanTest<site::topology> {};

// The program in remote mode (and server mode with it when asked), its dialogs answered by
// title; every message any dialog showed is kept, a dialog's when it closes.
struct Operator {
  test::FakeWaitClock clock;
  test::ScriptedProgram program{{}, &clock};
  std::map<std::string, std::function<void(test::ScriptedDialog&)>> scripts;
  Texts dialog_messages;

  // with_sites: a quorvane.conf naming the virtual Internet's address services.
  explicit Operator(bool with_sites, bool with_server = false) {
    if (with_sites) test::write_file(program.directory.file("quorvane.conf"), test::sites_config_text());
    EXPECT_TRUE(program.window.create());
    view().dialog_handler = [this](ui::DialogLogic& logic) {
      test::ScriptedDialog dialog(logic);
      if (dialog.open() && scripts.count(logic.table().title)) scripts[logic.table().title](dialog);
      for (const test::ShownMessage& m : dialog.messages) dialog_messages.push_back(m.text);
      return dialog.result();
    };
    using B = netenv::BasicSettingsDialog;
    scripts["基本设置"] = [with_server](test::ScriptedDialog& d) {
      d.click(B::remote_box);
      if (with_server) d.click(B::server_box);
      d.click(B::ok_button);
    };
    press(ButtonId::basic_settings);
  }
  test::ScriptedView& view() { return program.view; }
  void press(ButtonId button) { program.window.on_command(button); }
  void remote_test(const std::string& address) {
    scripts["远程测试:"] = [address](test::ScriptedDialog& d) {
      d.type(maint::RemoteTestDialog::address_edit, address);
      d.click(maint::RemoteTestDialog::ok_button);
    };
    dialog_messages.clear();
    view().messages.clear();
    press(ButtonId::remote_test);
  }
};

TEST_F(RemoteTestLan, ReadPolledAndRewrittenThroughTheRouter) {
  test::NetnsFilesScope files(lan().pc_namespace());
  ASSERT_TRUE(files.ok()) << files.error();
  Operator op(true);
  op.remote_test(site::module);
  EXPECT_EQ(op.dialog_messages, (Texts{"此IP地址有效! 检测到网络设备!", "此IP地址网络设备参数获取成功!"}));
  EXPECT_TRUE(op.view().messages.empty());
  EXPECT_EQ(op.view().lines(ListId::modules),
            Texts{"01  T *   10. 77.  0. 20 [1:192.168.xx]  <00204A-770020>A  10050 <10.77.0.1/255.255.255.0>"});
  EXPECT_TRUE(op.view().button_enabled(ButtonId::start));
  EXPECT_TRUE(op.view().button_enabled(ButtonId::parameter_settings));

  op.press(ButtonId::start);
  EXPECT_EQ(op.view().lines(ListId::data), Texts{"01--V71--+21.500℃/40.2%RH"});
  EXPECT_FALSE(op.view().button_enabled(ButtonId::remote_test));
  op.press(ButtonId::stop);
  EXPECT_TRUE(op.view().button_enabled(ButtonId::remote_test));

  using P = config::ParameterDialog;
  std::string subnet_text;
  op.scripts["模块参数设定："] = [&](test::ScriptedDialog& d) {
    subnet_text = d.text(P::subnet_text);
    EXPECT_FALSE(d.enabled(P::ip_edit) || d.enabled(P::wireless_button));
    d.click(P::tcp_radio + 3);  // AUDP: its upload parameters, after a hint (the sub-dialog is left)
    d.click(P::upload_button);
    d.click(P::tcp_radio + 1);
    d.click(P::ok_button);
  };
  op.dialog_messages.clear();
  op.press(ButtonId::parameter_settings);
  EXPECT_EQ(subnet_text, " 1-- 192.168.1.10 / 198.51.100.1");
  EXPECT_EQ(op.dialog_messages, (Texts{"提示: 若要在本机接收远程模块的上传数据测试，\r\n可将远程模块的<接收端IP>及<使用端口>两项"
                                       "参数设置为本机的外部IP及端口，\r\n然后，可在<基本设置> --> <启动Server模式> 进行测试。",
                                       "确认修改远程模块参数?", "远程模块参数修改成功!"}));
  const std::string log = lan().emulator_log("far");
  EXPECT_NE(log.find("set-configuration from 192.168.1.10 record"), std::string::npos) << log;
  EXPECT_NE(log.find("changed offsets 28 29\n"), std::string::npos) << log;
  EXPECT_TRUE(op.view().button_enabled(ButtonId::remote_test));
}

TEST_F(RemoteTestLan, EchoOnlyDeviceIsDescribedByHandAndPolled) {
  Operator op(false);
  int work_mode = discovery::udp;
  op.scripts["工作模式选择:"] = [&](test::ScriptedDialog& d) {
    d.click(config::WorkModeDialog::tcp_radio + work_mode);
    d.click(config::WorkModeDialog::ok_button);
  };

  op.remote_test(site::echo_only);
  // The work-mode dialog's messages come first: a dialog's are kept when it closes.
  EXPECT_EQ(op.dialog_messages,
            (Texts{"注意: 请确认所选工作模式与远程模块相同!", "所选工作模式为: UDP ,按<确认>键进行尝试连接...",
                   "此IP地址有效! 检测到网络设备!", "网络设备参数获取失败! 是否尝试手动设置连接方式?"}));
  ASSERT_EQ(op.view().lines(ListId::modules).size(), 1u);
  EXPECT_NE(op.view().lines(ListId::modules)[0].find(" 10. 77.  0. 30 "), std::string::npos);
  EXPECT_TRUE(op.view().button_enabled(ButtonId::start));
  EXPECT_FALSE(op.view().button_enabled(ButtonId::parameter_settings));  // nothing known to write
  op.press(ButtonId::start);
  EXPECT_EQ(op.view().lines(ListId::data), Texts{"01---<模块无响应!>---"});
  op.press(ButtonId::stop);
  EXPECT_FALSE(op.view().button_enabled(ButtonId::parameter_settings));

  // Over TCP the device's kernel refuses the connection.
  work_mode = discovery::tcp;
  op.remote_test(site::echo_only);
  EXPECT_EQ(op.view().texts(), Texts{"无法与远程模块建立连接! 请检查远程IP是否正确!"});
  EXPECT_FALSE(op.view().button_enabled(ButtonId::start));
}

TEST_F(RemoteTestLan, ModulesThatCannotBePolledAreListedOnly) {
  Operator op(false);

  op.remote_test(site::other_port);
  EXPECT_TRUE(op.view().messages.empty());
  ASSERT_EQ(op.view().lines(ListId::modules).size(), 1u);
  EXPECT_NE(op.view().lines(ListId::modules)[0].find("  4001 <"), std::string::npos);
  EXPECT_FALSE(op.program.context.polling.sockets_open);
  EXPECT_FALSE(op.view().button_enabled(ButtonId::start));
  EXPECT_TRUE(op.view().button_enabled(ButtonId::parameter_settings));

  // A sensor module without a work mode gets no polling socket.
  op.remote_test(site::bad_mode);
  EXPECT_EQ(op.view().texts(), Texts{"网络操作出现错误，请检查网络设置!"});
  EXPECT_NE(op.view().lines(ListId::modules)[0].find(" E *   10. 77.  0. 60 "), std::string::npos);
  EXPECT_FALSE(op.view().button_enabled(ButtonId::start));
}

TEST_F(RemoteTestLan, ServerModeReceivesTheRemoteUploader) {
  Operator op(false, true);
  EXPECT_EQ(op.view().caption(ButtonId::start), "Server启动");
  op.remote_test(site::uploader);
  EXPECT_EQ(op.view().texts(), Texts{"远程模块为: 主动上传模式，可使用:\r\n<参数设定> --> 修改模块参数；\r\n"
                                        "<基本参数> --> <启动Server模式> 进行测试;"});
  EXPECT_TRUE(op.view().button_enabled(ButtonId::start));

  op.scripts["Server(主动上传接收端)设置:"] = [](test::ScriptedDialog& d) {
    d.click(server::ServerSettingsDialog::udp_radio);
    d.click(server::ServerSettingsDialog::ok_button);
  };
  op.press(ButtonId::start);
  ASSERT_EQ(op.program.window.run_state(), app::RunState::serving);
  EXPECT_FALSE(op.view().button_enabled(ButtonId::remote_test));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  auto received = [&] {
    const auto& log = op.view().lines(ListId::data);
    return std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.find("<U:  10. 77.  0. 40/") != std::string::npos && line.find("+19.500") != std::string::npos;
    });
  };
  while (!received() && std::chrono::steady_clock::now() < deadline) op.view().watcher.dispatch(50);
  EXPECT_TRUE(received()) << lan().emulator_log("uploader");
  op.press(ButtonId::stop);
  EXPECT_TRUE(op.view().button_enabled(ButtonId::remote_test));
}

}  // namespace
