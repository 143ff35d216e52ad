// The real main window on the offscreen platform, driven with QTest inside the virtual LAN.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QApplication>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "config/parameter_dialog.h"
#include "maint/module_repair_dialog.h"
#include "netenv/basic_settings_dialog.h"
#include "server/server_settings_dialog.h"
#include "gui_program.h"
#include "modal_answerer.h"
#include "support/fake_raw_link.h"
#include "support/loopback_rig.h"
#include "support/scripted_program.h"
#include "support/temporary_directory.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

using test::click;
using test::control;

using ui::ButtonId;
using ui::ListId;

using test::Program;

// Each button id reaches its own push button, and start-up's boxes are shown.
TEST(MainWindowGui, OpensWithItsControlsAndAnnouncesMissingSettings) {
  test::ModalAnswerer answerer;
  Program program;
  program.open();
  ui::qt::QtMainWindow& w = *program.window;
  EXPECT_EQ(w.windowTitle().toStdString(), ui::texts::window_title);
  ASSERT_FALSE(answerer.boxes.empty());
  EXPECT_EQ(answerer.boxes[0].caption, ui::texts::caption_error);
  EXPECT_EQ(answerer.boxes[0].text, ui::texts::settings_read_failed);
  struct Expected {
    ButtonId id;
    const char* caption;
    bool enabled, visible;
  };
  const Expected buttons[] = {
      {ButtonId::parameter_settings, "参数设定", false, true}, {ButtonId::module_repair, "模块修复", true, false},
      {ButtonId::remote_test, "远程测试", true, false},        {ButtonId::exit, "退    出", true, true},
      {ButtonId::stop, "停    止", false, true},               {ButtonId::start, "启    动", false, true},
      {ButtonId::search, "搜    索", true, true},             {ButtonId::basic_settings, "基本设置", true, true},
  };
  for (const Expected& e : buttons) {
    QPushButton* b = w.button(e.id);
    EXPECT_EQ(b->text().toStdString(), e.caption);
    EXPECT_EQ(b->isEnabled(), e.enabled) << e.caption;
    EXPECT_EQ(b->isVisible(), e.visible) << e.caption;
  }
}


// With QV_SCREENSHOT_DIR set, the parameter dialog is saved there as it first appears.
TEST(MainWindowGui, SearchListsPollingTicksStopsParametersAreWrittenAndCloseWritesTheSettings) {
  test::LanTopology topology("192.168.1.10/24");
  topology.add_sensor_module("tcp", 1, "00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1",
                             "temperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03\n"
                             "firmware_d1 = 0x71\ncapability_d7 = 0x33\nrestart_delay_ms = 300");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ModalAnswerer answerer(QMessageBox::Yes);
  Program program;
  program.open();
  program.click(ButtonId::search);
  EXPECT_EQ(program.lines(ListId::modules),
            std::vector<std::string>{"01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>"});
  program.click(ButtonId::start);
  EXPECT_EQ(program.lines(ListId::data), std::vector<std::string>{"01--V71--+23.500℃/45.6%RH"});
  EXPECT_FALSE(program.window->button(ButtonId::search)->isEnabled());
  EXPECT_TRUE(program.window->button(ButtonId::stop)->isEnabled());

  // The timer's first tick (after the default 1000 ms) shows the inputs of the module
  // that announced the extended reading.
  ASSERT_TRUE(QTest::qWaitFor([&] { return program.lines(ListId::data)[0].find("DI[5->0]") != std::string::npos; },
                              5000));
  EXPECT_EQ(program.lines(ListId::data)[0], "01--V71--+23.500℃/45.6%RH  DI[5->0]: < 00 - 0011 >");

  program.click(ButtonId::stop);
  EXPECT_FALSE(program.context.polling.sockets_open);
  EXPECT_TRUE(program.window->button(ButtonId::search)->isEnabled());
  EXPECT_TRUE(program.window->button(ButtonId::start)->isEnabled());
  const std::vector<std::string> stopped = program.lines(ListId::data);
  QTest::qWait(1500);  // no tick rewrites the list after Stop
  EXPECT_EQ(program.lines(ListId::data), stopped);

  // A new address typed into the real parameter dialog of the selected line is written; the
  // list empties after the pause (the LAN tests follow the module to its new address).
  answerer.boxes.clear();  // the missing settings file at start
  answerer.on_dialog = test::later([&](QDialog* dialog) {
    test::screenshot(dialog, "parameter-dialog.png");
    QLineEdit* ip = control<QLineEdit>(dialog, config::ParameterDialog::ip_edit);
    ip->selectAll();
    QTest::keyClicks(ip, "192.168.1.120");
    click(dialog, config::ParameterDialog::ok_button);
  });
  program.click(ButtonId::parameter_settings);
  ASSERT_EQ(answerer.boxes.size(), 2u);
  EXPECT_EQ(answerer.boxes[0].text, ui::texts::confirm_change);
  EXPECT_EQ(answerer.boxes[1].text.find("模块参数修改完毕!"), 0u);  // the box shows CR LF as one break
  EXPECT_TRUE(program.lines(ListId::modules).empty());
  EXPECT_FALSE(program.window->button(ButtonId::parameter_settings)->isEnabled());

  // The close box writes the settings.
  program.context.settings.refresh_period_ms = 2500;
  program.window->close();
  std::string saved = test::read_file(program.directory.file("qorvan24.cfg"));
  ASSERT_EQ(saved.size(), 20u);
  EXPECT_EQ(static_cast<unsigned char>(saved[6]) | static_cast<unsigned char>(saved[7]) << 8, 2500);
}

// Server mode in the real window: the module of the LAN pushes its records to the PC, the
// window's socket watcher hands them over (no address service configured: no external address).
TEST(MainWindowGui, ServerModeShowsTheRecordsOfUploadingModules) {
  test::LanTopology topology("192.168.1.10/24");
  topology.add_sensor_module("atcp", 1, "00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1",
                             "work_mode = ATCP\nserver_ip = 192.168.1.10\nserver_port = 8005\n"
                             "upload_interval_ms = 300\nmodule_code = 0x0042\ntemperature = 23.5");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  answerer.on_dialog = [](QDialog* dialog) {
    click(dialog, netenv::BasicSettingsDialog::server_box);
    click(dialog, netenv::BasicSettingsDialog::ok_button);
  };
  program.click(ButtonId::basic_settings);
  ASSERT_TRUE(program.context.state.server_mode);

  answerer.on_dialog = [&](QDialog* dialog) { click(dialog, server::ServerSettingsDialog::ok_button); };
  program.click(ButtonId::start);
  ASSERT_EQ(program.logic->run_state(), app::RunState::serving);
  EXPECT_EQ(program.lines(ListId::modules)[0], "Server: TCP;  内/外IP: 192.168.1.10/--none--;   PORT:8005; ");

  // The module connects and sends records; what they show is the LAN tests' business.
  ASSERT_TRUE(QTest::qWaitFor([&] { return program.window->list_count(ListId::modules) >= 2; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return program.lines(ListId::modules)[1].find("CNT: 0002") != std::string::npos; }, 5000));

  program.click(ButtonId::stop);
  EXPECT_EQ(program.logic->run_state(), app::RunState::idle);
  EXPECT_FALSE(program.context.server.socket.valid());
  EXPECT_TRUE(program.window->button(ButtonId::start)->isEnabled());
  const auto summary = program.lines(ListId::modules);
  QTest::qWait(800);  // nothing arrives after Stop; both lists stay as they were
  EXPECT_EQ(program.lines(ListId::modules), summary);
}

// Stop and the close box act while the window waits: the event loop runs during every wait.
using Steady = std::chrono::steady_clock;
constexpr auto within = std::chrono::milliseconds(100);

TEST(MainWindowGui, StopDuringACycleWithASilentModuleActsAtOnce) {
  test::SilentModule module;
  test::ModalAnswerer answerer;
  Program program;
  auto link = std::make_shared<test::FakeRawLink>();
  link->neighbour_answers = true;
  program.services.raw_link = link;
  program.open();
  module.list_in(program.context);
  program.context.state.offers.start = true;  // as the search that listed it would
  program.logic->update_buttons();
  Steady::time_point pressed;
  // Half-way through the first cycle's three attempts.
  QTimer::singleShot(500, [&] {
    pressed = Steady::now();
    program.click(ButtonId::stop);
  });
  program.click(ButtonId::start);
  EXPECT_LT(Steady::now() - pressed, within);
  EXPECT_EQ(program.logic->run_state(), app::RunState::idle);
  EXPECT_TRUE(program.lines(ListId::data).empty());  // no whole cycle yet
  EXPECT_TRUE(program.window->button(ButtonId::start)->isEnabled());
  EXPECT_FALSE(program.window->button(ButtonId::stop)->isEnabled());
}

TEST(MainWindowGui, CloseDuringASearchEndsItAtOnceWithTheListsShownEmpty) {
  test::ModalAnswerer answerer;
  Program program;
  program.services.list_adapters = test::loopback_adapter;
  program.services.raw_link = std::make_shared<test::FakeRawLink>();
  program.open();
  program.window->list_add(ListId::modules, "01 -- from before");
  program.window->list_add(ListId::data, "01 -- from before");
  Steady::time_point pressed;
  int rows_meanwhile = -1;
  QTimer::singleShot(300, [&] {
    rows_meanwhile = program.window->list_count(ListId::modules) + program.window->list_count(ListId::data);
    pressed = Steady::now();
    program.window->close();
  });
  program.click(ButtonId::search);
  EXPECT_LT(Steady::now() - pressed, within);
  EXPECT_EQ(rows_meanwhile, 0);
  EXPECT_FALSE(program.window->isVisible());
}

// Module repair in the real window: repair mode from the basic settings, the repair dialog
// with the MAC of a module that answers the presence probe, and the announced pause during
// which the window keeps repainting under the wait cursor.
TEST(MainWindowGui, RepairDialogClickedThrough) {
  test::LanTopology topology("192.168.5.3/24");
  topology.add_sensor_module("present", 1, "00:20:4a:d0:00:0b", "192.168.5.20", "192.168.5.1");
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  answerer.on_dialog = [](QDialog* dialog) {
    click(dialog, netenv::BasicSettingsDialog::repair_box);
    click(dialog, netenv::BasicSettingsDialog::ok_button);
  };
  program.click(ButtonId::basic_settings);
  ASSERT_TRUE(program.window->button(ButtonId::module_repair)->isVisible());
  program.window->list_add(ListId::modules, "01 before the repair");
  answerer.boxes.clear();  // the start-up notice of the missing settings file

  using R = maint::ModuleRepairDialog;
  std::string title;
  answerer.on_dialog = test::later([&](QDialog* dialog) {
    title = dialog->windowTitle().toStdString();
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte4_edit), "d0");
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte5_edit), "00");
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte6_edit), "0b");
    click(dialog, R::confirm_button);
  });
  int paints_during_pause = 0;
  QTimer painter;
  QObject::connect(&painter, &QTimer::timeout, [&] {
    const QCursor* cursor = QApplication::overrideCursor();
    if (cursor && cursor->shape() == Qt::WaitCursor) ++paints_during_pause;
    program.window->repaint();
  });
  painter.start(500);
  program.click(ButtonId::module_repair);
  painter.stop();

  EXPECT_EQ(title, ui::texts::repair_title);
  ASSERT_EQ(answerer.boxes.size(), 2u);
  // A box shows "\r\n" as "\n".
  EXPECT_EQ(answerer.boxes[0].text, "输入符合规则! MAC码 = 00204A-D0000B \n请按<确认>键继续,或按<取消>键退出.");
  EXPECT_EQ(answerer.boxes[1].text, "模块参数修改完毕!\n请等待8-10秒后,再进行其他操作.");
  EXPECT_GE(paints_during_pause, 10);  // the event loop turned throughout the 9 s
  EXPECT_TRUE(program.lines(ListId::modules).empty());
}

}  // namespace
