// The real window in remote mode: the remote test dialog clicked through to a module behind
// the router (the LAN tests poll and write it).
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "gui_program.h"
#include "maint/remote_test_dialog.h"
#include "modal_answerer.h"
#include "netenv/basic_settings_dialog.h"
#include "support/remote_site.h"

namespace {

using test::click;
using test::control;
using ui::ButtonId;
using ui::ListId;

TEST(RemoteTestGui, DialogClickedThroughToARemoteModule) {
  test::VirtualLanAtPc lan(test::remote_site::topology());
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ModalAnswerer answerer;
  test::Program program;
  program.open();
  ui::qt::QtMainWindow& window = *program.window;
  answerer.on_dialog = [](QDialog* dialog) {
    click(dialog, netenv::BasicSettingsDialog::remote_box);
    click(dialog, netenv::BasicSettingsDialog::ok_button);
  };
  program.click(ButtonId::basic_settings);

  using R = maint::RemoteTestDialog;
  std::string title;
  bool field_focused = false;
  answerer.on_dialog = test::later([&](QDialog* dialog) {
    title = dialog->windowTitle().toStdString();
    QLineEdit* field = control<QLineEdit>(dialog, R::address_edit);
    field_focused = dialog->focusWidget() == field;
    field->clear();
    QTest::keyClicks(field, QString::fromStdString(test::remote_site::module));
    click(dialog, R::ok_button);
  });
  answerer.boxes.clear();  // the start-up notice of the missing settings file
  program.click(ButtonId::remote_test);
  EXPECT_EQ(title, "远程测试:");
  EXPECT_TRUE(field_focused);
  EXPECT_EQ(answerer.boxes.size(), 2u);  // detected, then read
  ASSERT_EQ(window.list_count(ListId::modules), 1);
  EXPECT_NE(window.list_line(ListId::modules, 0).find(" 10. 77.  0. 20 "), std::string::npos);
  EXPECT_TRUE(window.button(ButtonId::start)->isEnabled());
}

}  // namespace
