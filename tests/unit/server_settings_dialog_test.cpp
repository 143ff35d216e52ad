#include "server/server_settings_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "support/ipv4_text.h"
#include "support/scripted_dialog.h"

namespace {

using test::ipv4;

using D = server::ServerSettingsDialog;

// The dialog over an adapter table of `entries` address entries (0: not built yet) and a
// lookup that reports `statuses` and returns `lookup_code`.
struct Rig {
  explicit Rig(int entries, std::array<int, 3> lookup_statuses = {1, 1, 1}) : statuses(lookup_statuses) {
    const char* addresses[] = {"192.168.1.5", "10.0.0.7"};
    for (int k = 0; k < entries; ++k) adapters.addresses[static_cast<std::size_t>(k)].ip = ipv4(addresses[k]);
    adapters.address_count = entries;
    adapters.adapter_table_valid = entries > 0;
  }

  netenv::AdapterTable adapters;
  netenv::ExternalAddresses external;
  server::ServerSettings settings;
  std::array<int, 3> statuses;
  int lookup_code = 0;
  bool probes_not_permitted = false;
  int lookups = 0;
  int listings = 0;
  platform::AdapterListing listing{-2, {}};
  D dialog{settings, adapters, external,
           [this](ui::MessageSink& messages) {
             if (adapters.adapter_table_valid) return 0;
             ++listings;
             return netenv::build_adapter_table(adapters, listing, messages);
           },
           [this](const netenv::AdapterTable&, netenv::ExternalAddresses& found) {
             ++lookups;
             for (std::size_t k = 0; k < found.status.size(); ++k) {
               found.status[k] = statuses[k];
               found.text[k] = statuses[k] == netenv::lookup_found ? "203.0.113." + std::to_string(k + 1) : "--none--";
             }
             found.probes_not_permitted = probes_not_permitted;
             return lookup_code;
           }};
  test::ScriptedDialog view{dialog};
};

const char* const range_message = "PORT设置须在正确范围内(1000->65535)!";

TEST(ServerSettingsDialog, PortMustLieIn1000To65535) {
  struct Case {
    const char* typed;
    bool accepted;
    std::uint16_t port;
  } cases[] = {
      {"999", false, 2000},   {"1000", true, 1000},   {"65535", true, 65535}, {"65536", false, 2000},
      {"", false, 2000},      {"abc", false, 2000},   {" 8005", true, 8005},  {"4000x", true, 4000},
      {"99999999999", false, 2000}, {"-1000", false, 2000},
  };
  for (const Case& c : cases) {
    Rig rig(1);
    rig.settings.port = 2000;
    ASSERT_TRUE(rig.view.open());
    rig.view.type(D::port_edit, c.typed);
    rig.view.click(D::ok_button);
    EXPECT_EQ(rig.view.closed(), c.accepted) << c.typed;
    EXPECT_EQ(rig.settings.port, c.port) << c.typed;
    if (c.accepted) {
      EXPECT_EQ(rig.view.result(), 1);
      EXPECT_TRUE(rig.view.messages.empty());
    } else {
      ASSERT_EQ(rig.view.messages.size(), 1u) << c.typed;
      EXPECT_EQ(rig.view.messages[0].caption, "错误提示");
      EXPECT_EQ(rig.view.messages[0].text, range_message);
      EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
      EXPECT_EQ(rig.view.focused(), D::port_edit);
    }
  }
}

TEST(ServerSettingsDialog, RefusedPortKeepsTheAddressAndProtocolAlreadyTaken) {
  Rig rig(2);
  ASSERT_TRUE(rig.view.open());
  rig.view.click(D::ip2_radio);
  rig.view.click(D::udp_radio);
  rig.view.click(D::raw_data_box);
  rig.view.type(D::port_edit, "5");
  rig.view.click(D::ok_button);
  EXPECT_FALSE(rig.view.closed());
  EXPECT_EQ(rig.settings.local_address_index, 1);
  EXPECT_EQ(rig.settings.protocol, discovery::audp);
  EXPECT_EQ(rig.settings.port, server::default_port);
  EXPECT_FALSE(rig.settings.raw_data_display);
}

TEST(ServerSettingsDialog, OneAddressEntryHidesTheSecondColumnAndBindsEntry0) {
  Rig rig(1);
  rig.settings.local_address_index = 1;
  rig.settings.raw_data_display = true;
  ASSERT_TRUE(rig.view.open());
  for (int id : {D::ip2_text, D::external2_text, D::address_group, D::ip1_radio, D::ip2_radio}) {
    EXPECT_FALSE(rig.view.shown(id)) << id;
  }
  EXPECT_TRUE(rig.view.shown(D::ip1_text));
  EXPECT_EQ(rig.view.text(D::ip1_text), "192.168.1.5");
  EXPECT_EQ(rig.view.text(D::external1_text), "203.0.113.1");
  EXPECT_TRUE(rig.view.checked(D::tcp_radio));
  EXPECT_FALSE(rig.view.checked(D::udp_radio));
  EXPECT_EQ(rig.view.text(D::port_edit), "8005");
  EXPECT_TRUE(rig.view.checked(D::raw_data_box));
  rig.view.click(D::ok_button);
  EXPECT_EQ(rig.view.result(), 1);
  EXPECT_EQ(rig.settings.local_address_index, 0);
  EXPECT_EQ(rig.settings.protocol, discovery::atcp);
}

TEST(ServerSettingsDialog, TwoEntriesCheckTheFirstWithAnExternalAddress) {
  struct Case {
    std::array<int, 3> statuses;
    bool ip1, ip2;
  } cases[] = {
      {{1, 1, -1}, true, false},
      {{1, 0, -1}, true, false},
      {{0, 1, -1}, false, true},
  };
  for (const Case& c : cases) {
    Rig rig(2, c.statuses);
    rig.settings.protocol = discovery::audp;
    ASSERT_TRUE(rig.view.open());
    for (int id : {D::ip2_text, D::external2_text, D::address_group, D::ip1_radio, D::ip2_radio}) {
      EXPECT_TRUE(rig.view.shown(id)) << id;
    }
    EXPECT_EQ(rig.view.checked(D::ip1_radio), c.ip1);
    EXPECT_EQ(rig.view.checked(D::ip2_radio), c.ip2);
    EXPECT_EQ(rig.view.text(D::ip2_text), "10.0.0.7");
    EXPECT_EQ(rig.view.text(D::external2_text), c.statuses[1] == 1 ? "203.0.113.2" : "--none--");
    EXPECT_TRUE(rig.view.checked(D::udp_radio));
    rig.view.click(D::ok_button);
    EXPECT_EQ(rig.settings.local_address_index, c.ip1 ? 0 : 1);
    EXPECT_EQ(rig.settings.protocol, discovery::audp);
  }
}

// An isolated LAN: no service configured (every entry "no route") or none answered (-40,
// told once). The operator still picks the address, protocol and port.
TEST(ServerSettingsDialog, WithoutAnExternalAddressTheServerCanStillBeSet) {
  struct Case {
    int entries;
    std::array<int, 3> statuses;
    int lookup_code;
    int previous_index;
    bool warned;
  } cases[] = {
      {1, {0, 0, 0}, 0, 0, false},
      {2, {0, 0, 0}, 0, 1, false},
      {1, {-1, -1, -1}, -40, 0, true},
      {2, {-1, -1, -1}, -40, 0, true},
  };
  for (const Case& c : cases) {
    Rig rig(c.entries, c.statuses);
    rig.lookup_code = c.lookup_code;
    rig.settings.local_address_index = c.previous_index;
    ASSERT_TRUE(rig.view.open());
    if (c.warned) {
      ASSERT_EQ(rig.view.messages.size(), 1u);
      EXPECT_EQ(rig.view.messages[0].caption, "系统提示");
      EXPECT_EQ(rig.view.messages[0].text, "网络参数获取失败(-40)! 请检查本机网络设置,重新尝试!");
      EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
    } else {
      EXPECT_TRUE(rig.view.messages.empty());
    }
    EXPECT_EQ(rig.view.text(D::ip1_text), "192.168.1.5");
    EXPECT_EQ(rig.view.text(D::external1_text), "--none--");
    EXPECT_EQ(rig.view.text(D::port_edit), "8005");
    EXPECT_TRUE(rig.view.checked(D::tcp_radio));
    if (c.entries == 2) {
      EXPECT_EQ(rig.view.text(D::external2_text), "--none--");
      EXPECT_EQ(rig.view.checked(D::ip2_radio), c.previous_index == 1);
    }
    rig.view.click(D::udp_radio);
    rig.view.click(D::ok_button);
    EXPECT_EQ(rig.view.result(), 1);
    EXPECT_EQ(rig.settings.local_address_index, c.previous_index);
    EXPECT_EQ(rig.settings.protocol, discovery::audp);
    EXPECT_EQ(rig.view.messages.size(), c.warned ? 1u : 0u);
  }
}

TEST(ServerSettingsDialog, ALookupWhoseProbesLackedTheirRightSaysWhichRight) {
  Rig rig(1, {0, 0, 0});
  rig.probes_not_permitted = true;
  ASSERT_TRUE(rig.view.open());
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_NE(rig.view.messages[0].text.find("CAP_NET_RAW"), std::string::npos);
  EXPECT_EQ(rig.view.text(D::external1_text), "--none--");
}

TEST(ServerSettingsDialog, NoAdapterCloses) {
  Rig rig(0);
  EXPECT_FALSE(rig.view.open());
  EXPECT_EQ(rig.view.result(), 0);
  EXPECT_EQ(rig.lookups, 0);
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].caption, "错误提示");
  EXPECT_EQ(rig.view.messages[0].text, "未发现本机网络设备! 请检查本机网络设备安装/开启状态!");
  EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
}

TEST(ServerSettingsDialog, BuildsTheAdapterTableOnceAndLooksUpOnEveryOpening) {
  Rig rig(0);
  platform::PlatformAdapter eth;
  eth.name = "eth0";
  eth.type = platform::adapter_type_ethernet;
  eth.addresses = {{"172.16.4.9", "255.255.255.0"}};
  rig.listing = {0, {eth}};
  ASSERT_TRUE(rig.view.open());
  EXPECT_EQ(rig.view.text(D::ip1_text), "172.16.4.9");
  test::ScriptedDialog second(rig.dialog);
  ASSERT_TRUE(second.open());
  EXPECT_EQ(rig.listings, 1);
  EXPECT_EQ(rig.lookups, 2);
}

TEST(ServerSettingsDialog, OnlyOkTakesTheFields) {
  enum class Leave { ok, cancel, close_box };
  for (Leave leave : {Leave::ok, Leave::cancel, Leave::close_box}) {
    Rig rig(2);
    ASSERT_TRUE(rig.view.open());
    rig.view.click(D::ip2_radio);
    rig.view.click(D::udp_radio);
    rig.view.click(D::raw_data_box);
    rig.view.type(D::port_edit, "9000");
    if (leave == Leave::ok) rig.view.click(D::ok_button);
    if (leave == Leave::cancel) rig.view.click(D::cancel_button);
    if (leave == Leave::close_box) rig.view.close_box();
    const bool ok = leave == Leave::ok;
    EXPECT_EQ(rig.view.result(), ok ? 1 : 0);
    EXPECT_EQ(rig.settings.local_address_index, ok ? 1 : 0);
    EXPECT_EQ(rig.settings.protocol, ok ? discovery::audp : discovery::atcp);
    EXPECT_EQ(rig.settings.port, ok ? 9000 : server::default_port);
    EXPECT_EQ(rig.settings.raw_data_display, ok);
  }
}

}  // namespace
