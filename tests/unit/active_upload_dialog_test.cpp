#include "config/active_upload_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/ipv4_text.h"
#include "support/scripted_dialog.h"

namespace {

using test::ipv4;

using D = config::ActiveUploadDialog;

discovery::ModuleRow upload_row(std::uint8_t firmware_level) {
  discovery::ModuleRow row;
  row.firmware_level = firmware_level;
  row.server_ip = ipv4("192.168.1.10");
  row.dns_ip = ipv4("192.168.1.1");
  row.server_port = 8005;
  row.module_code = 0x00A1;
  row.upload_interval = 3;
  row.server_by_name = 0x10;
  std::strcpy(row.server_name.data(), "collector.lan");
  return row;
}

struct Rig {
  explicit Rig(std::uint8_t firmware_level = 0x31) : row(upload_row(firmware_level)) { EXPECT_TRUE(view.open()); }
  netenv::PendingParameters pending;
  discovery::ModuleRow row;
  D dialog{pending, row, ipv4("192.168.1.5"), config::UploadDefaults{}};
  test::ScriptedDialog view{dialog};
};

// (The fields each mode enables: the config dialogs GUI test.)
TEST(ActiveUploadDialog, DomainNameModeOnlyAboveFirmwareLevel0x30) {
  Rig rig(0x30);
  EXPECT_FALSE(rig.view.enabled(D::name_mode_radio));
  EXPECT_TRUE(rig.view.checked(D::ip_mode_radio));  // the row asks for a name; IP is forced
  EXPECT_TRUE(rig.view.enabled(D::server_ip_edit));
  EXPECT_FALSE(rig.view.enabled(D::domain_edit));
}

TEST(ActiveUploadDialog, EachRefusedFieldShowsItsMessageFocusesItAndChangesNothing) {
  const std::string forty(40, 'a');
  struct Case {
    bool name_mode;
    int field;
    std::string typed;
    const char *message, *caption;
    ui::Icon icon;
  } cases[] = {
      {false, D::server_ip_edit, "10.1.2", "IP地址结构(x.x.x.x)错误，请重新输入!", "错误提示", ui::Icon::warning},
      {false, D::server_ip_edit, "10.1.2.300", "IP地址输入错误,请重新输入!", "错误提示", ui::Icon::warning},
      {false, D::server_ip_edit, "0.0.0.0", "SERVER IP地址输入错误,请重新输入!", "错误提示", ui::Icon::warning},
      {true, D::dns_ip_edit, "1.2.3", "IP地址结构(x.x.x.x)错误，请重新输入!", "错误提示", ui::Icon::warning},
      {true, D::dns_ip_edit, "0.0.0.0", "SERVER DNSIP地址输入错误,请重新输入!", "错误提示", ui::Icon::warning},
      {true, D::domain_edit, "", "域名长度错误(应为: 1-39个字符)! 请重新输入!", "系统提示", ui::Icon::warning},
      {true, D::domain_edit, forty, "域名长度错误(应为: 1-39个字符)! 请重新输入!", "系统提示", ui::Icon::warning},
      {false, D::port_edit, "999", "PORT参数需在1000-65533范围内!", "错误提示", ui::Icon::warning},
      {false, D::port_edit, "65534", "PORT参数需在1000-65533范围内!", "错误提示", ui::Icon::warning},
      {false, D::port_edit, "80x", "PORT参数需在1000-65533范围内!", "错误提示", ui::Icon::warning},
      {false, D::module_code_edit, "12345", "ID输入字符长度有误(= 4),请重新输入!", "系统提示", ui::Icon::none},
      {false, D::module_code_edit, "ABC", "ID输入字符长度有误(= 4),请重新输入!", "系统提示", ui::Icon::none},
      {false, D::interval_edit, "256", "参数需在0-255范围内!", "错误提示", ui::Icon::warning},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Rig rig;
    rig.view.click(c.name_mode ? D::name_mode_radio : D::ip_mode_radio);
    rig.view.type(c.field, c.typed);
    rig.view.click(D::ok_button);
    ASSERT_EQ(rig.view.texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(rig.view.messages[0].caption, c.caption);
    EXPECT_EQ(rig.view.messages[0].icon, c.icon);
    EXPECT_EQ(rig.view.focused(), c.field);
    EXPECT_FALSE(rig.view.closed());
    EXPECT_EQ(rig.pending, netenv::PendingParameters{});
  }
}

TEST(ActiveUploadDialog, OkStoresTheValuesAndAReopeningShowsThem) {
  Rig rig;
  EXPECT_TRUE(rig.view.checked(D::name_mode_radio));
  EXPECT_EQ(rig.view.text(D::domain_edit), "collector.lan");
  EXPECT_EQ(rig.view.text(D::module_code_edit), "00A1");
  const std::string name39(39, 'n');
  rig.view.type(D::domain_edit, name39);
  rig.view.type(D::port_edit, "65533");
  rig.view.type(D::module_code_edit, "abcd");
  rig.view.type(D::interval_edit, "255");
  rig.view.click(D::ok_button);
  ASSERT_EQ(rig.view.result(), 1) << (rig.view.messages.empty() ? "" : rig.view.messages[0].text);
  EXPECT_TRUE(rig.pending.active_upload_confirmed);
  EXPECT_TRUE(rig.pending.server_by_name);
  EXPECT_EQ(rig.pending.dns_ip, ipv4("192.168.1.1"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rig.pending.server_name.data())), name39);
  EXPECT_EQ(rig.pending.server_name[39], 0);
  EXPECT_EQ(rig.pending.server_port, 65533);
  EXPECT_EQ(rig.pending.module_code, 0xABCD);
  EXPECT_EQ(rig.pending.upload_interval, 255);

  D again{rig.pending, rig.row, {}, config::UploadDefaults{}};
  test::ScriptedDialog view(again);
  ASSERT_TRUE(view.open());
  EXPECT_EQ(view.text(D::port_edit), "65533");
  EXPECT_EQ(view.text(D::module_code_edit), "ABCD");
  EXPECT_EQ(view.text(D::domain_edit), name39);
}

TEST(ActiveUploadDialog, DefaultsGiveTheLocalAddressInIpModeAndStoreNothingUntilOk) {
  Rig rig;
  rig.view.click(D::defaults_button);
  EXPECT_TRUE(rig.view.checked(D::ip_mode_radio));
  EXPECT_EQ(rig.view.text(D::server_ip_edit), "192.168.1.5");
  EXPECT_EQ(rig.view.text(D::port_edit), "8005");
  EXPECT_EQ(rig.view.text(D::dns_ip_edit), "");  // the site's name server is the operator's to give
  EXPECT_EQ(rig.view.text(D::domain_edit), "");
  EXPECT_EQ(rig.view.text(D::module_code_edit), "0000");
  EXPECT_EQ(rig.view.text(D::interval_edit), "0");
  EXPECT_FALSE(rig.pending.active_upload_confirmed);
  rig.view.click(D::ok_button);
  EXPECT_EQ(rig.view.result(), 1);
  EXPECT_FALSE(rig.pending.server_by_name);
  EXPECT_EQ(rig.pending.server_ip, ipv4("192.168.1.5"));
}

}  // namespace
