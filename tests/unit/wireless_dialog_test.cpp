#include "config/wireless_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/scripted_dialog.h"

namespace {

using D = config::WirelessDialog;
namespace wifi = config::wifi;

// Infrastructure, WEP with WEP64 and Open, key index 2, a 5-byte hex key; every byte the
// dialog does not own holds a value of its own.
config::WirelessBlock module_block() {
  config::WirelessBlock b;
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(0x40 + i);
  b[wifi::topology] = 0x6A;  // channel 6, bits 1..3 = 101, Infrastructure
  b[wifi::security] = (wifi::method_wep64 << 5) | wifi::suite_wep;
  std::memset(b.data() + wifi::ssid, 0, 66);
  std::memcpy(b.data() + wifi::ssid, "plant-net", 9);
  std::memcpy(b.data() + wifi::ssid_copy, "plant-net", 9);
  b[wifi::method] = wifi::method_wep64;
  b[wifi::key_length] = 5;
  b[wifi::key_type] = 0xA4 | wifi::key_hex;  // bits 2..7 are not the dialog's
  b[wifi::key_index] = 1;
  const std::uint8_t key[] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e};
  std::memcpy(b.data() + wifi::key, key, sizeof key);
  return b;
}

struct Rig {
  config::WirelessBlock block = module_block();
  D dialog{block};
  test::ScriptedDialog view{dialog};
  Rig() { EXPECT_TRUE(view.open()); }
  int suite(int s) const { return D::suite_none_radio + s; }
  int method(int m) const { return D::method_none_radio + m; }
};

TEST(WirelessDialog, OpeningShowsTheBlockAndEnablingFollowsTopologyAndSuite) {
  Rig rig;
  EXPECT_EQ(rig.view.text(D::ssid_edit), "plant-net");
  EXPECT_EQ(rig.view.text(D::channel_edit), " 6");
  EXPECT_EQ(rig.view.text(D::key_edit), "0A1B2C3D4E");
  EXPECT_TRUE(rig.view.checked(D::infrastructure_radio));
  EXPECT_TRUE(rig.view.checked(rig.suite(wifi::suite_wep)));
  EXPECT_TRUE(rig.view.checked(rig.method(wifi::method_wep64)));
  EXPECT_TRUE(rig.view.checked(D::key_index1_radio + 1));
  EXPECT_TRUE(rig.view.checked(D::hex_radio));
  EXPECT_FALSE(rig.view.enabled(D::channel_edit));

  // WEP: WEP64/WEP128 only.
  for (int m : {wifi::method_none, wifi::method_tkip, wifi::method_ccmp}) EXPECT_FALSE(rig.view.enabled(rig.method(m)));
  EXPECT_TRUE(rig.view.enabled(rig.method(wifi::method_wep128)));

  // WPA_PSK in Infrastructure: TKIP forced, Shared forced, authentication and index locked.
  rig.view.click(rig.suite(wifi::suite_wpa));
  EXPECT_TRUE(rig.view.checked(rig.method(wifi::method_tkip)));
  EXPECT_FALSE(rig.view.enabled(rig.method(wifi::method_ccmp)));
  EXPECT_TRUE(rig.view.checked(D::shared_radio));
  EXPECT_FALSE(rig.view.enabled(D::open_radio));
  EXPECT_FALSE(rig.view.enabled(D::key_index1_radio));

  // WPA2_PSK keeps CCMP once chosen.
  rig.view.click(rig.suite(wifi::suite_wpa2));
  rig.view.click(rig.method(wifi::method_ccmp));
  EXPECT_TRUE(rig.view.checked(rig.method(wifi::method_ccmp)));
  EXPECT_FALSE(rig.view.enabled(rig.method(wifi::method_wep64)));

  // Ad-hoc forbids WPA and its methods: WPA2 + CCMP become None + None (WPA2 and the
  // channel field: the config dialogs GUI test).
  rig.view.click(D::adhoc_radio);
  EXPECT_TRUE(rig.view.checked(rig.suite(wifi::suite_none)));
  EXPECT_TRUE(rig.view.checked(rig.method(wifi::method_none)));
  EXPECT_FALSE(rig.view.enabled(rig.suite(wifi::suite_wpa)));

  // Security None locks everything of the key, with Open and index 1.
  EXPECT_TRUE(rig.view.checked(D::open_radio));
  EXPECT_TRUE(rig.view.checked(D::key_index1_radio));
  for (int id : {int(D::open_radio), int(D::shared_radio), int(D::key_index1_radio), int(D::hex_radio), int(D::passphrase_radio), int(D::key_edit),
                 rig.method(wifi::method_wep64)})
    EXPECT_FALSE(rig.view.enabled(id)) << id;

  // WEP again selects WEP64 on its own.
  rig.view.click(rig.suite(wifi::suite_wep));
  EXPECT_TRUE(rig.view.checked(rig.method(wifi::method_wep64)));
  EXPECT_TRUE(rig.view.enabled(D::key_edit));
}

// (The key text kept per key type: the config dialogs GUI test.)
TEST(WirelessDialog, RefusedFieldsShowTheirMessageAndLeaveTheBlockAlone) {
  struct Case {
    int suite, method;
    bool passphrase;
    int field;
    std::string typed, message;
  } cases[] = {
      {wifi::suite_wep, wifi::method_wep64, false, D::ssid_edit, "", "SSID输入错误,请重新输入!"},
      {wifi::suite_wep, wifi::method_wep64, false, D::ssid_edit, std::string(33, 's'), "SSID输入错误,请重新输入!"},
      // Infrastructure: the disabled channel field still has to hold 1..14.
      {wifi::suite_wep, wifi::method_wep64, false, D::channel_edit, "0", "AD-HOC 信道输入错误,请重新输入!"},
      {wifi::suite_wep, wifi::method_wep64, false, D::channel_edit, "15", "AD-HOC 信道输入错误,请重新输入!"},
      {wifi::suite_wep, wifi::method_wep64, false, D::key_edit, "0A1B2C3D4", "HEX字符输入长度有误(10个!),请重新输入!"},
      {wifi::suite_wep, wifi::method_wep128, false, D::key_edit, "0A1B2C3D4E", "HEX字符输入长度有误(26个!),请重新输入!"},
      {wifi::suite_wpa2, wifi::method_ccmp, false, D::key_edit, "0A", "HEX字符输入长度有误(64个!),请重新输入!"},
      {wifi::suite_wep, wifi::method_wep64, false, D::key_edit, "0A1B2C3D4G",
       "HEX字符输入类型有误(必须是: A-F，a-f，0-9),请重新输入!"},
      {wifi::suite_wpa2, wifi::method_ccmp, true, D::key_edit, std::string(64, 'p'), "字符输入长度有误(8-63个!),请重新输入!"},
      {wifi::suite_wpa, wifi::method_tkip, true, D::key_edit, "tab\there!", "字符输入类型有误(必须是: 可显示字符),请重新输入!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Rig rig;
    rig.view.click(rig.suite(c.suite));
    rig.view.click(rig.method(c.method));
    rig.view.click(c.passphrase ? D::passphrase_radio : D::hex_radio);
    rig.view.type(c.field, c.typed);
    rig.view.click(D::ok_button);
    ASSERT_EQ(rig.view.texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(rig.view.messages[0].caption, "系统提示");
    EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
    EXPECT_EQ(rig.view.focused(), c.field);
    EXPECT_EQ(rig.block, module_block());
  }
}

TEST(WirelessDialog, OkWritesTheNamedBitsAndPassesEveryOtherByte) {
  Rig rig;
  rig.view.type(D::ssid_edit, "yard");
  rig.view.click(rig.suite(wifi::suite_wpa2));
  rig.view.click(D::passphrase_radio);
  const std::string p63(63, '~');
  rig.view.type(D::key_edit, p63);
  rig.view.click(D::ok_button);
  ASSERT_EQ(rig.view.result(), 1) << (rig.view.messages.empty() ? "" : rig.view.messages[0].text);

  config::WirelessBlock want = module_block();
  want[wifi::marker] = 127;
  want[wifi::security] = (wifi::method_tkip << 5) | (1 << 2) | wifi::suite_wpa2;
  std::memset(want.data() + wifi::ssid, 0, 66);
  std::memcpy(want.data() + wifi::ssid, "yard", 4);
  std::memcpy(want.data() + wifi::ssid_copy, "yard", 4);
  want[wifi::method] = wifi::method_tkip;
  want[wifi::key_length] = 63;
  want[wifi::key_type] = 0xA4 | wifi::key_passphrase;
  std::memset(want.data() + wifi::key, 0, 64);
  std::memcpy(want.data() + wifi::key, p63.data(), 63);
  EXPECT_EQ(rig.block, want);
}

TEST(WirelessDialog, HexKeyIsStoredAsBytesAndDefaultsAreNotStoredBeforeOk) {
  Rig rig;
  rig.view.click(rig.method(wifi::method_wep128));
  rig.view.type(D::key_edit, "00112233445566778899aabbcc");
  rig.view.click(D::ok_button);
  ASSERT_EQ(rig.view.result(), 1);
  EXPECT_EQ(rig.block[wifi::key_length], 13);
  EXPECT_EQ(rig.block[wifi::key + 12], 0xCC);
  EXPECT_EQ(rig.block[wifi::key + 13], 0);  // the first 32 key bytes are cleared
  EXPECT_EQ(rig.block[wifi::key + 40], module_block()[wifi::key + 40]);

  Rig defaults;
  defaults.view.click(D::defaults_button);
  EXPECT_EQ(defaults.view.text(D::ssid_edit), "QV90WIFI");
  EXPECT_EQ(defaults.view.text(D::channel_edit), "11");
  EXPECT_TRUE(defaults.view.checked(defaults.suite(wifi::suite_none)));
  EXPECT_FALSE(defaults.view.enabled(D::key_edit));
  EXPECT_EQ(defaults.block, module_block());
  defaults.view.click(D::ok_button);
  EXPECT_EQ(defaults.view.result(), 1);
  EXPECT_EQ(defaults.block[wifi::security], 0);
  EXPECT_EQ(defaults.block[wifi::topology], 0xBA);  // channel 11, bits 1..3 kept, Infrastructure
  EXPECT_EQ(defaults.block[wifi::key + 0], module_block()[wifi::key]);  // no key for security None
}

}  // namespace
