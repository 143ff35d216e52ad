// The active-upload and wireless dialogs as real Qt dialogs, clicked through with QTest;
// their message boxes answered as an operator would. With QV_SCREENSHOT_DIR set, each
// dialog is also saved there as it first appears.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "config/active_upload_dialog.h"
#include "config/wireless_dialog.h"
#include "modal_answerer.h"
#include "ui/qt/qt_dialog.h"

namespace {

using test::click;
using test::control;
using test::later;

void retype(QDialog* dialog, int id, const char* text) {
  QLineEdit* edit = control<QLineEdit>(dialog, id);
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text));
}

void screenshot(QDialog* dialog, const char* name) {
  if (const char* dir = std::getenv("QV_SCREENSHOT_DIR")) {
    dialog->adjustSize();
    dialog->grab().save(QString::fromUtf8(dir) + "/" + name);
  }
}

TEST(ConfigDialogsGui, ActiveUploadDialogRefusesABadCodeThenStoresTheReceiver) {
  using D = config::ActiveUploadDialog;
  netenv::PendingParameters pending;
  discovery::ModuleRow row;
  row.firmware_level = 0x31;
  row.server_port = 8005;
  row.server_ip = platform::Ipv4Address::from_octets(192, 168, 1, 10);
  row.module_code = 0x00A1;
  row.upload_interval = 3;
  test::ModalAnswerer answerer;
  bool name_mode_needs_dns = false;
  answerer.on_dialog = later([&](QDialog* dialog) {
    screenshot(dialog, "active-upload-dialog.png");
    click(dialog, D::name_mode_radio);
    name_mode_needs_dns = control<QLineEdit>(dialog, D::dns_ip_edit)->isEnabled() &&
                          !control<QLineEdit>(dialog, D::server_ip_edit)->isEnabled();
    click(dialog, D::ip_mode_radio);
    retype(dialog, D::module_code_edit, "12G4");
    click(dialog, D::ok_button);  // refused: its box is answered, the dialog stays
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), control<QLineEdit>(dialog, D::module_code_edit));
    retype(dialog, D::module_code_edit, "beef");
    click(dialog, D::ok_button);
  });
  D logic(pending, row, {}, config::UploadDefaults{});
  ui::qt::QtDialog dialog(logic, nullptr);
  EXPECT_EQ(dialog.run(), 1);

  EXPECT_TRUE(name_mode_needs_dns);
  ASSERT_EQ(answerer.boxes.size(), 1u);
  EXPECT_EQ(answerer.boxes[0].text, "ID输入字符有误(必须是: a-f,A-F,0-9),请重新输入!");
  EXPECT_TRUE(pending.active_upload_confirmed);
  EXPECT_EQ(pending.module_code, 0xBEEF);
  EXPECT_FALSE(pending.server_by_name);
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
    click(dialog, D::ok_button);  // refused: 8..63 characters
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
