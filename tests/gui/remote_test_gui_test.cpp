// The real window in remote mode: the remote layout, the remote test dialog clicked through
// to a module behind the router, and that module polled.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "maint/remote_test_dialog.h"
#include "modal_answerer.h"
#include "netenv/basic_settings_dialog.h"
#include "support/fresh_start_directory.h"
#include "support/remote_site.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;
using ui::ListId;

template <typename Widget>
Widget* control(QDialog* dialog, int id) {
  return dialog->findChild<Widget*>(QString("control_%1").arg(id));
}

TEST(RemoteTestGui, DialogClickedThroughToAPolledRemoteModule) {
  test::VirtualLan lan(test::remote_site::topology());
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::PcNamespaceScope pc(lan);
  ASSERT_TRUE(pc.ok()) << pc.error();

  test::ModalAnswerer answerer;
  test::FreshStartDirectory directory;
  app::ProgramContext context;
  ui::qt::QtWaitClock clock;
  ui::qt::QtMainWindow window;
  app::MainWindow logic(context, window, clock);
  window.set_events(&logic);
  ASSERT_TRUE(logic.create());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto click = [&](ButtonId button) { QTest::mouseClick(window.button(button), Qt::LeftButton); };

  answerer.on_dialog = [](QDialog* dialog) {
    QCheckBox* remote = control<QCheckBox>(dialog, netenv::BasicSettingsDialog::remote_box);
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    QTest::mouseClick(control<QPushButton>(dialog, netenv::BasicSettingsDialog::ok_button), Qt::LeftButton);
  };
  click(ButtonId::basic_settings);
  EXPECT_TRUE(window.button(ButtonId::remote_test)->isVisible());
  EXPECT_TRUE(window.button(ButtonId::remote_test)->isEnabled());
  EXPECT_FALSE(window.button(ButtonId::search)->isVisible());
  EXPECT_FALSE(window.button(ButtonId::start)->isEnabled());
  EXPECT_EQ(window.button(ButtonId::start)->text().toStdString(), ui::texts::button_start);

  using R = maint::RemoteTestDialog;
  std::string title;
  bool field_focused = false;
  answerer.on_dialog = [&](QDialog* dialog) {
    title = dialog->windowTitle().toStdString();
    QLineEdit* field = control<QLineEdit>(dialog, R::address_edit);
    field_focused = dialog->focusWidget() == field;
    field->clear();
    QTest::keyClicks(field, QString::fromStdString(test::remote_site::module));
    // The click opens message boxes, which the answerer can answer only once this returns.
    QTimer::singleShot(0, dialog,
                       [dialog] { QTest::mouseClick(control<QPushButton>(dialog, R::ok_button), Qt::LeftButton); });
  };
  answerer.boxes.clear();  // the start-up notice of the missing settings file
  click(ButtonId::remote_test);
  EXPECT_EQ(title, "远程测试:");
  EXPECT_TRUE(field_focused);
  EXPECT_EQ(answerer.boxes.size(), 2u);  // detected, then read
  ASSERT_EQ(window.list_count(ListId::modules), 1);
  EXPECT_NE(window.list_line(ListId::modules, 0).find(" 10. 77.  0. 20 "), std::string::npos);
  EXPECT_TRUE(window.button(ButtonId::start)->isEnabled());

  click(ButtonId::start);
  ASSERT_EQ(window.list_count(ListId::data), 1);
  EXPECT_EQ(window.list_line(ListId::data, 0), "01--V71--+21.500℃/40.2%RH");
  EXPECT_FALSE(window.button(ButtonId::remote_test)->isEnabled());
  click(ButtonId::stop);
  EXPECT_TRUE(window.button(ButtonId::remote_test)->isEnabled());
  EXPECT_FALSE(window.button(ButtonId::search)->isVisible());
}

}  // namespace
