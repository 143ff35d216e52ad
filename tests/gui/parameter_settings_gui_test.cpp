// The parameter settings command in the real window: Search, "参数设定", a new IP typed
// into the real dialog, OK, the boxes answered, and the view emptied after the pause (the
// LAN tests follow the module to its new address). With QV_SCREENSHOT_DIR set, the
// parameter dialog is saved there as it first appears.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "config/parameter_dialog.h"
#include "modal_answerer.h"
#include "support/fresh_start_directory.h"
#include "support/virtual_lan.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"
#include "ui/texts.h"

namespace {

using test::click;
using test::control;
using test::later;

using ui::ButtonId;
using ui::ListId;

std::string module_line(const ui::qt::QtMainWindow& window) {
  return window.list_count(ListId::modules) > 0 ? window.list_line(ListId::modules, 0) : std::string();
}

TEST(ParameterSettingsGui, ANewAddressTypedInTheRealDialogIsWritten) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_module({"m", 1, "00:20:4a:12:34:56", "192.168.1.100/24", "192.168.1.1",
                       test::sensor_module_config("00:20:4a:12:34:56", "192.168.1.100", "192.168.1.1",
                                                  "restart_delay_ms = 300")});
  test::VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::FreshStartDirectory directory;
  app::ProgramContext context;
  ui::qt::QtWaitClock clock;
  ui::qt::QtMainWindow window;
  app::MainWindow logic(context, window, clock);
  window.set_events(&logic);
  test::ModalAnswerer answerer(QMessageBox::Yes);
  ASSERT_TRUE(logic.create());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  QTest::mouseClick(window.button(ButtonId::search), Qt::LeftButton);
  ASSERT_NE(module_line(window).find("192.168.  1.100"), std::string::npos) << module_line(window);

  answerer.boxes.clear();  // the missing settings file at start
  std::string title;
  answerer.on_dialog = later([&](QDialog* dialog) {
    title = dialog->windowTitle().toStdString();
    if (const char* dir = std::getenv("QV_SCREENSHOT_DIR")) {
      dialog->adjustSize();
      dialog->grab().save(QString::fromUtf8(dir) + "/parameter-dialog.png");
    }
    QLineEdit* ip = control<QLineEdit>(dialog, config::ParameterDialog::ip_edit);
    ip->selectAll();
    QTest::keyClicks(ip, "192.168.1.120");
    click(dialog, config::ParameterDialog::ok_button);
  });
  QTest::mouseClick(window.button(ButtonId::parameter_settings), Qt::LeftButton);
  EXPECT_EQ(title, "模块参数设定：");
  ASSERT_EQ(answerer.boxes.size(), 2u);
  EXPECT_EQ(answerer.boxes[0].text, ui::texts::confirm_change);
  EXPECT_EQ(answerer.boxes[1].text.find("模块参数修改完毕!"), 0u);  // the box shows CR LF as one break
  EXPECT_EQ(window.list_count(ListId::modules), 0);
  EXPECT_FALSE(window.button(ButtonId::parameter_settings)->isEnabled());
  window.close();
}

}  // namespace
