// A dialog built from its table as a real Qt dialog (the wireless one, with radio groups whose
// clicks enable fields and rewrite texts), clicked through with QTest; its message box answered
// as an operator would. With QV_SCREENSHOT_DIR set, the dialog is also saved there as it first appears.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <gtest/gtest.h>

#include "config/wireless_dialog.h"
#include "modal_answerer.h"
#include "ui/qt/qt_dialog.h"

namespace {

using test::click;
using test::control;
using test::later;
using test::screenshot;

void retype(QDialog* dialog, int id, const char* text) {
  QLineEdit* edit = control<QLineEdit>(dialog, id);
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text));
}

TEST(ConfigDialogsGui, WirelessDialogFollowsTheRulesAndRemembersEachKeyType) {
  using D = config::WirelessDialog;
  config::WirelessBlock block{};
  std::memcpy(block.data() + config::wifi::ssid, "plant-net", 9);
  block[config::wifi::security] = (config::wifi::method_wep64 << 5) | config::wifi::suite_wep;
  block[config::wifi::topology] = 0x60;
  block[config::wifi::key_length] = 5;
  const std::uint8_t key[] = {0x0A, 0x1B, 0x2C, 0x3D, 0x4E};
  std::memcpy(block.data() + config::wifi::key, key, sizeof key);
  test::ModalAnswerer answerer;
  bool adhoc_forbids_wpa = false;
  answerer.on_dialog = later([&](QDialog* dialog) {
    screenshot(dialog, "wireless-dialog.png");
    click(dialog, D::adhoc_radio);
    adhoc_forbids_wpa = !control<QRadioButton>(dialog, int(D::suite_none_radio) + config::wifi::suite_wpa2)->isEnabled() &&
                        control<QLineEdit>(dialog, D::channel_edit)->isEnabled();
    click(dialog, D::infrastructure_radio);
    click(dialog, int(D::suite_none_radio) + config::wifi::suite_wpa2);
    click(dialog, D::passphrase_radio);
    retype(dialog, D::key_edit, "short");
    click(dialog, D::ok_button);  // refused: 8..63 characters; its box is answered, the dialog stays
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), control<QLineEdit>(dialog, D::key_edit));
    click(dialog, D::hex_radio);
    EXPECT_EQ(control<QLineEdit>(dialog, D::key_edit)->text(), "0A1B2C3D4E");
    click(dialog, D::passphrase_radio);
    EXPECT_EQ(control<QLineEdit>(dialog, D::key_edit)->text(), "short");
    retype(dialog, D::key_edit, "long enough now");
    click(dialog, D::ok_button);
  });
  D logic(block);
  ui::qt::QtDialog dialog(logic, nullptr);
  EXPECT_EQ(dialog.run(), 1);

  EXPECT_TRUE(adhoc_forbids_wpa);
  ASSERT_EQ(answerer.boxes.size(), 1u);
  EXPECT_EQ(answerer.boxes[0].text, "字符输入长度有误(8-63个!),请重新输入!");
  EXPECT_EQ(block[config::wifi::security] & 3, config::wifi::suite_wpa2);
  EXPECT_EQ(block[config::wifi::key_length], 15);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + config::wifi::key)), "long enough now");
}

}  // namespace
