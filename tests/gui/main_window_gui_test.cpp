// The real main window on the offscreen platform, driven with QTest inside the virtual LAN.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <arpa/inet.h>

#include <algorithm>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "maint/module_repair_dialog.h"
#include "netenv/basic_settings_dialog.h"
#include "server/server_settings_dialog.h"
#include "modal_answerer.h"
#include "support/fake_raw_link.h"
#include "support/fresh_start_directory.h"
#include "support/loopback_rig.h"
#include "support/temporary_directory.h"
#include "support/virtual_internet_sites.h"
#include "support/virtual_lan.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;
using ui::ListId;

// A program started in its own directory, as the operator starts it.
class Program {
 public:
  void open() {
    window = std::make_unique<ui::qt::QtMainWindow>();
    logic = std::make_unique<app::MainWindow>(context, *window, clock, services);
    window->set_events(logic.get());
    ASSERT_TRUE(logic->create());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  void click(ButtonId button) { QTest::mouseClick(window->button(button), Qt::LeftButton); }

  std::vector<std::string> lines(ListId list) const {
    std::vector<std::string> result;
    for (int i = 0; i < window->list_count(list); ++i) result.push_back(window->list_line(list, i));
    return result;
  }

  test::FreshStartDirectory directory;
  app::ProgramContext context;
  app::MainWindowServices services;
  ui::qt::QtWaitClock clock;
  std::unique_ptr<ui::qt::QtMainWindow> window;
  std::unique_ptr<app::MainWindow> logic;
};

bool has_box(const test::ModalAnswerer& answerer, const char* caption, const char* text) {
  for (const auto& box : answerer.boxes) {
    if (box.caption == caption && box.text == text) return true;
  }
  return false;
}

TEST(MainWindowGui, OpensWithItsControlsAndAnnouncesMissingSettings) {
  test::ModalAnswerer answerer;
  Program program;
  program.open();
  ui::qt::QtMainWindow& w = *program.window;

  EXPECT_EQ(w.windowTitle().toStdString(), ui::texts::window_title);
  EXPECT_EQ(w.windowIcon().availableSizes(), (QList<QSize>{{48, 48}, {128, 128}, {256, 256}}));
  // The whole window, the frame the platform gives it included, is 1024 x 720; the
  // controls stand where they would in a client area of that size less the frame.
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.frameGeometry().size() == QSize(1024, 720); }, 2000))
      << w.frameGeometry().width() << " x " << w.frameGeometry().height();
  EXPECT_TRUE(w.client_size().frame_fits);
  const int right = w.width() - 2, y = w.height() - 42;
  EXPECT_TRUE(has_box(answerer, ui::texts::caption_error, ui::texts::settings_read_failed));
  EXPECT_EQ(w.list_widget(ListId::modules)->geometry(), QRect(7, 27, 995, 290));
  EXPECT_EQ(w.list_widget(ListId::data)->geometry(), QRect(7, 342, 995, 290));
  EXPECT_EQ(w.list_widget(ListId::modules)->palette().color(QPalette::Base), QColor(67, 228, 228));
  EXPECT_EQ(w.list_widget(ListId::data)->palette().color(QPalette::Base), QColor(255, 255, 208));
  EXPECT_TRUE(w.list_widget(ListId::modules)->font().fixedPitch() ||
              QFontInfo(w.list_widget(ListId::modules)->font()).fixedPitch());

  struct Expected {
    ButtonId id;
    const char* caption;
    QRect geometry;
    bool enabled;
    bool visible;
  };
  const Expected buttons[] = {
      {ButtonId::parameter_settings, "参数设定", {12, y, 85, 35}, false, true},
      {ButtonId::module_repair, "模块修复", {102, y, 85, 35}, true, false},
      {ButtonId::remote_test, "远程测试", {192, y, 85, 35}, true, false},
      {ButtonId::exit, "退    出", {right - 90, y, 85, 35}, true, true},
      {ButtonId::stop, "停    止", {right - 180, y, 85, 35}, false, true},
      {ButtonId::start, "启    动", {right - 270, y, 85, 35}, false, true},
      {ButtonId::search, "搜    索", {right - 360, y, 85, 35}, true, true},
      {ButtonId::basic_settings, "基本设置", {right - 450, y, 85, 35}, true, true},
  };
  for (const Expected& e : buttons) {
    QPushButton* b = w.button(e.id);
    EXPECT_EQ(b->text().toStdString(), e.caption);
    EXPECT_EQ(b->geometry(), e.geometry) << e.caption;
    EXPECT_EQ(b->isEnabled(), e.enabled) << e.caption;
    EXPECT_EQ(b->isVisible(), e.visible) << e.caption;
  }
}

TEST(MainWindowGui, SearchListsTheModulesAndClosingWritesTheSettings) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(2, "192.168.5.3/24");
  topology.add_module({"tcp", 1, "00:20:4a:12:34:56", "192.168.1.100/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1")});
  topology.add_module({"udp", 1, "00:20:4a:12:34:57", "192.168.1.20/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:57", "192.168.1.20", "192.168.1.1",
                                                  "work_mode = UDP")});
  topology.add_module({"second", 2, "00:20:4a:12:34:58", "192.168.5.40/24", "192.168.5.1",
                       test::sensor_module_config("00:20:4a:12:34:58", "192.168.5.40", "192.168.5.1")});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  program.click(ButtonId::search);

  std::vector<std::string> lines = program.lines(ListId::modules);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "01  U -  192.168.  1. 20 [1:192.168.xx]  <00204A-123457>A  10050 <192.168.1.1/255.255.255.0>");
  EXPECT_EQ(lines[1], "02  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>");
  EXPECT_EQ(lines[2], "03  T -  192.168.  5. 40 [2:192.168.xx]  <00204A-123458>A  10050 <192.168.5.1/255.255.255.0>");
  std::vector<int> selected;
  ASSERT_TRUE(program.window->list_selection(ListId::modules, selected));
  EXPECT_EQ(selected, std::vector<int>{0});
  EXPECT_TRUE(program.window->button(ButtonId::start)->isEnabled());
  EXPECT_TRUE(program.window->button(ButtonId::parameter_settings)->isEnabled());
  EXPECT_FALSE(program.window->button(ButtonId::stop)->isEnabled());

  program.context.settings.refresh_period_ms = 2500;
  program.window->close();
  std::string saved = test::read_file(program.directory.file("qorvan24.cfg"));
  ASSERT_EQ(saved.size(), 20u);
  EXPECT_EQ(static_cast<unsigned char>(saved[6]) | static_cast<unsigned char>(saved[7]) << 8, 2500);
}

TEST(MainWindowGui, StartBeforeAnyModuleWasFoundAsksForASearch) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  program.click(ButtonId::search);  // nobody answers: an empty list, and Start becomes available
  EXPECT_EQ(program.window->list_count(ListId::modules), 0);
  ASSERT_TRUE(program.window->button(ButtonId::start)->isEnabled());

  answerer.boxes.clear();
  program.click(ButtonId::start);
  ASSERT_EQ(answerer.boxes.size(), 1u);
  EXPECT_EQ(answerer.boxes[0].caption, ui::texts::caption_error);
  EXPECT_EQ(answerer.boxes[0].text, ui::texts::search_first);
}

}  // namespace

namespace {

template <typename Widget>
Widget* control(QDialog* dialog, int id) {
  return dialog->findChild<Widget*>(QString("control_%1").arg(id));
}

TEST(MainWindowGui, PollsAfterStartRewritesOnEachTickAndStops) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_module({"tcp", 1, "00:20:4a:12:34:56", "192.168.1.100/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1",
                                                  "temperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03\n"
                                                  "firmware_d1 = 0x71\ncapability_d7 = 0x33")});
  topology.add_module({"udp", 1, "00:20:4a:12:34:57", "192.168.1.101/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:57", "192.168.1.101", "192.168.1.1",
                                                  "work_mode = UDP\ntemperature = -5\nhumidity = 61.2")});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  program.click(ButtonId::search);
  ASSERT_EQ(program.window->list_count(ListId::modules), 2);
  program.click(ButtonId::start);
  EXPECT_EQ(program.lines(ListId::data),
            (std::vector<std::string>{"01--V71--+23.500℃/45.6%RH", "02--V71---5.000℃/61.2%RH"}));
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
}

TEST(MainWindowGui, BasicSettingsDialogSwitchesToServerMode) {
  test::ModalAnswerer answerer;
  Program program;
  program.open();
  program.context.adapters.adapter_table_valid = true;  // a table of one entry, without asking the kernel
  program.context.adapters.address_count = 1;
  program.context.adapters.adapter_count = 1;
  program.context.adapters.addresses[0].ip = platform::Ipv4Address::from_host_order(0xC0A8010A);
  program.context.adapters.addresses[0].mask = platform::Ipv4Address::from_host_order(0xFFFFFF00);

  std::string shown_addresses;
  answerer.on_dialog = [&](QDialog* dialog) {
    using D = netenv::BasicSettingsDialog;
    shown_addresses = control<QPlainTextEdit>(dialog, D::addresses_text)->toPlainText().toStdString();
    QLineEdit* period = control<QLineEdit>(dialog, D::period_edit);
    period->clear();
    QTest::keyClicks(period, "500");
    QCheckBox* server = control<QCheckBox>(dialog, D::server_box);
    QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(8, server->height() / 2));  // on the box itself
    EXPECT_FALSE(control<QCheckBox>(dialog, D::repair_box)->isEnabled());
    QTest::mouseClick(control<QPushButton>(dialog, D::ok_button), Qt::LeftButton);
  };
  program.click(ButtonId::basic_settings);

  EXPECT_EQ(shown_addresses, "[1]-192.168.1.10\n");
  EXPECT_TRUE(program.context.state.server_mode);
  EXPECT_EQ(program.context.settings.refresh_period_ms, 1000);
  EXPECT_EQ(program.window->button(ButtonId::start)->text().toStdString(), ui::texts::button_start_server);
  EXPECT_TRUE(program.window->button(ButtonId::start)->isEnabled());
  EXPECT_FALSE(program.window->button(ButtonId::search)->isVisible());
  EXPECT_FALSE(program.window->button(ButtonId::parameter_settings)->isVisible());
}

}  // namespace

namespace {

// Server mode in the real window: the modules of the LAN push their records to the PC,
// whose external address is looked up through the small Internet behind the router.
TEST(MainWindowGui, ServerModeShowsTheRecordsOfUploadingModules) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_router(1, "192.168.1.1/24", test::RouterKind::internet);
  const char* upload = "work_mode = ATCP\nserver_ip = 192.168.1.10\nserver_port = 8005\nupload_interval_ms = 300\n"
                       "module_code = 0x0042\ntemperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03";
  topology.add_module({"atcp", 1, "00:20:4a:12:34:56", "192.168.1.100/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1", upload)});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();
  test::NetnsFilesScope names(lan.pc_namespace());  // the sites' names, as `ip netns exec` sees them

  test::ModalAnswerer answerer;
  Program program;
  test::write_file(program.directory.file("quorvane.conf"), test::sites_config_text());
  program.open();
  answerer.on_dialog = [](QDialog* dialog) {
    QCheckBox* server = control<QCheckBox>(dialog, netenv::BasicSettingsDialog::server_box);
    QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(8, server->height() / 2));
    QTest::mouseClick(control<QPushButton>(dialog, netenv::BasicSettingsDialog::ok_button), Qt::LeftButton);
  };
  program.click(ButtonId::basic_settings);
  ASSERT_TRUE(program.context.state.server_mode);

  std::string external;
  answerer.on_dialog = [&](QDialog* dialog) {
    using S = server::ServerSettingsDialog;
    external = control<QLineEdit>(dialog, S::external1_text)->text().toStdString();
    EXPECT_TRUE(control<QRadioButton>(dialog, S::tcp_radio)->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, S::port_edit)->text(), "8005");
    QCheckBox* raw = control<QCheckBox>(dialog, S::raw_data_box);
    QTest::mouseClick(raw, Qt::LeftButton, {}, QPoint(8, raw->height() / 2));
    QTest::mouseClick(control<QPushButton>(dialog, S::ok_button), Qt::LeftButton);
  };
  program.click(ButtonId::start);
  EXPECT_FALSE(external.empty());
  EXPECT_NE(external, "--none--");
  ASSERT_EQ(program.logic->run_state(), app::RunState::serving);
  EXPECT_EQ(program.lines(ListId::modules)[0], "Server: TCP;  内/外IP: 192.168.1.10/" + external + ";   PORT:8005; ");
  EXPECT_NE(program.lines(ListId::data)[0].find(" -> 等待上传数据..."), std::string::npos);

  // The module connects (a line, as the raw data display is on) and sends records.
  ASSERT_TRUE(QTest::qWaitFor([&] { return program.window->list_count(ListId::modules) >= 2; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return program.lines(ListId::modules)[1].find("CNT: 0002") != std::string::npos; }, 5000));
  const std::vector<std::string> log = program.lines(ListId::data);
  EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                          [](const std::string& l) { return l.find("-> COME IN!") != std::string::npos; }));
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
    return l.find("<T: 192.168.  1.100/") != std::string::npos && l.find("+23.500℃/45.6%RH") != std::string::npos;
  }));
  EXPECT_NE(program.lines(ListId::modules)[1].find("MAC: 00204A123456 -- MID: 0042 -- IP: 192.168.  1.100"),
            std::string::npos);

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

}  // namespace

namespace {

// Module repair in the real window: repair mode from the basic settings, the repair dialog
// with a refused byte and then the MAC of a module that answers the presence probe, and the
// announced pause during which the window keeps repainting.
TEST(MainWindowGui, RepairDialogClickedThrough) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.5.3/24");
  topology.add_module({"present", 1, "00:20:4a:d0:00:0b", "192.168.5.20/24", "192.168.5.1",
                       test::sensor_module_config("00:20:4a:d0:00:0b", "192.168.5.20", "192.168.5.1")});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ModalAnswerer answerer;
  Program program;
  program.open();
  answerer.on_dialog = [](QDialog* dialog) {
    QCheckBox* repair = control<QCheckBox>(dialog, netenv::BasicSettingsDialog::repair_box);
    QTest::mouseClick(repair, Qt::LeftButton, {}, QPoint(8, repair->height() / 2));
    QTest::mouseClick(control<QPushButton>(dialog, netenv::BasicSettingsDialog::ok_button), Qt::LeftButton);
  };
  program.click(ButtonId::basic_settings);
  ASSERT_TRUE(program.window->button(ButtonId::module_repair)->isVisible());
  program.window->list_add(ListId::modules, "01 before the repair");
  answerer.boxes.clear();  // the start-up notice of the missing settings file

  using R = maint::ModuleRepairDialog;
  bool focus_on_refused_field = false;
  answerer.on_dialog = [&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle().toStdString(), ui::texts::repair_title);
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte4_edit), "d0");
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte5_edit), "0");  // one digit
    QTest::keyClicks(control<QLineEdit>(dialog, R::byte6_edit), "0b");
    // The clicks open message boxes, which the answerer can answer only once this returns.
    QTimer::singleShot(0, dialog, [&, dialog] {
      QTest::mouseClick(control<QPushButton>(dialog, R::confirm_button), Qt::LeftButton);
      focus_on_refused_field = dialog->focusWidget() == control<QLineEdit>(dialog, R::byte5_edit);
      QTest::keyClicks(control<QLineEdit>(dialog, R::byte5_edit), "0");
      QTest::mouseClick(control<QPushButton>(dialog, R::confirm_button), Qt::LeftButton);
    });
  };
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

  ASSERT_EQ(answerer.boxes.size(), 3u) << answerer.boxes[0].text;
  EXPECT_EQ(answerer.boxes[0].text, ui::texts::repair_bad_character);
  EXPECT_TRUE(focus_on_refused_field);
  // A box shows "\r\n" as "\n".
  EXPECT_EQ(answerer.boxes[1].text, "输入符合规则! MAC码 = 00204A-D0000B \n请按<确认>键继续,或按<取消>键退出.");
  EXPECT_EQ(answerer.boxes[2].text, "模块参数修改完毕!\n请等待8-10秒后,再进行其他操作.");
  EXPECT_GE(paints_during_pause, 10);  // the event loop turned throughout the 9 s
  EXPECT_TRUE(program.lines(ListId::modules).empty());
  EXPECT_NE(lan.emulator_log("present").find("presence probe 00 0B"), std::string::npos);
  EXPECT_EQ(lan.emulator_log("present").find("address assignment"), std::string::npos);
}

}  // namespace
