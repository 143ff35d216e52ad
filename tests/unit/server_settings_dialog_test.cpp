#include "server/server_settings_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/ipv4_text.h"
#include "support/scripted_dialog.h"
#include "ui/texts.h"

namespace {

using test::ipv4;
using Texts = std::vector<std::string>;

using D = server::ServerSettingsDialog;

// The dialog over an adapter table of `entries` address entries (0: none to be found) and a
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
  D dialog{settings, adapters, external, [this](ui::MessageSink&) { return adapters.adapter_table_valid ? 0 : -1; },
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

TEST(ServerSettingsDialog, PortMustLieIn1000To65535) {
  struct Case { const char* typed; std::uint16_t port; } cases[] = {  // port 0: refused
      {"999", 0},   {"1000", 1000},  {"65535", 65535}, {"65536", 0},         {"", 0},
      {"abc", 0},   {" 8005", 8005}, {"4000x", 4000},  {"99999999999", 0}, {"-1000", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Rig rig(1);
    ASSERT_TRUE(rig.view.open());
    rig.view.type(D::port_edit, c.typed);
    rig.view.click(D::ok_button);
    EXPECT_EQ(rig.view.result(), c.port ? 1 : -1);
    EXPECT_EQ(rig.settings.port, c.port ? c.port : server::default_port);
    EXPECT_EQ(rig.view.texts(), c.port ? Texts{} : Texts{"PORT设置须在正确范围内(1000->65535)!"});
    if (!c.port) {
      EXPECT_EQ(rig.view.messages.at(0).caption, "错误提示");
      EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
      EXPECT_EQ(rig.view.focused(), D::port_edit);
    }
  }
}

// What the dialog shows on opening, after the lookup, and the address entry OK binds.
TEST(ServerSettingsDialog, OpeningShowsTheAddressesAndChoosesAnEntry) {
  const std::array<int, 3> found = {1, 1, -1}, none = {0, 0, 0}, failed = {-1, -1, -1};
  struct Case {
    int entries;
    std::array<int, 3> statuses;
    int lookup_code, previous_index, chosen;
    Texts shown;
  } cases[] = {
      {1, found, 0, 1, 0, {}},
      {2, found, 0, 1, 0, {}},
      {2, {0, 1, -1}, 0, 0, 1, {}},
      // An isolated LAN: no service configured (every entry "no route") or none answered
      // (-40, told once). The entry chosen last time stays.
      {2, none, 0, 1, 1, {}},
      {2, failed, -40, 0, 0, {"网络参数获取失败(-40)! 请检查本机网络设置,重新尝试!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.entries) + " entries, first status " + std::to_string(c.statuses[0]));
    Rig rig(c.entries, c.statuses);
    rig.lookup_code = c.lookup_code;
    rig.settings.local_address_index = c.previous_index;
    rig.settings.protocol = discovery::audp;
    ASSERT_TRUE(rig.view.open());
    EXPECT_EQ(rig.view.texts(), c.shown);
    for (int id : {D::ip2_text, D::external2_text, D::address_group, D::ip1_radio, D::ip2_radio}) {
      EXPECT_EQ(rig.view.shown(id), c.entries == 2) << id;
    }
    EXPECT_EQ(rig.view.text(D::ip1_text), "192.168.1.5");
    EXPECT_EQ(rig.view.text(D::external1_text), c.statuses[0] == 1 ? "203.0.113.1" : "--none--");
    if (c.entries == 2) {
      EXPECT_EQ(rig.view.text(D::ip2_text), "10.0.0.7");
      EXPECT_EQ(rig.view.text(D::external2_text), c.statuses[1] == 1 ? "203.0.113.2" : "--none--");
      EXPECT_EQ(rig.view.checked(D::ip1_radio), c.chosen == 0);
      EXPECT_EQ(rig.view.checked(D::ip2_radio), c.chosen == 1);
    }
    rig.view.click(D::ok_button);
    EXPECT_EQ(rig.settings.local_address_index, c.chosen);
    EXPECT_EQ(rig.settings.protocol, discovery::audp);
  }
}

// A lookup whose probes lacked their right says which right.
TEST(ServerSettingsDialog, OpeningWithoutAnAdapterOrTheRawRightOtherwiseLookingUpEachTime) {
  Rig no_right(1, {0, 0, 0});
  no_right.probes_not_permitted = true;
  ASSERT_TRUE(no_right.view.open());
  ASSERT_EQ(no_right.view.messages.size(), 1u);
  EXPECT_NE(no_right.view.messages[0].text.find("CAP_NET_RAW"), std::string::npos);

  Rig none(0);
  EXPECT_FALSE(none.view.open());
  EXPECT_EQ(none.view.texts(), Texts{ui::texts::no_network_device});
  EXPECT_EQ(none.view.messages[0].caption, ui::texts::caption_error);
  EXPECT_EQ(none.lookups, 0);
  Rig rig(1);
  ASSERT_TRUE(rig.view.open());
  test::ScriptedDialog again(rig.dialog);
  ASSERT_TRUE(again.open());
  EXPECT_EQ(rig.lookups, 2);
}

// The fields are shown from the settings, and taken by OK only (OK itself: the tables above
// and the server mode LAN and GUI tests): a refused port leaves the port and raw display as
// they were, but the address and protocol are taken already; cancel and the close box take nothing.
TEST(ServerSettingsDialog, OnlyOkTakesTheFields) {
  for (int leave : {int(D::ok_button), int(D::cancel_button), 0}) {
    Rig rig(2);
    rig.settings.raw_data_display = true;
    ASSERT_TRUE(rig.view.open());
    EXPECT_TRUE(rig.view.checked(D::tcp_radio));
    EXPECT_FALSE(rig.view.checked(D::udp_radio));
    EXPECT_EQ(rig.view.text(D::port_edit), "8005");
    EXPECT_TRUE(rig.view.checked(D::raw_data_box));
    rig.view.click(D::ip2_radio);
    rig.view.click(D::udp_radio);
    rig.view.click(D::raw_data_box);
    rig.view.type(D::port_edit, "5");
    leave ? rig.view.click(leave) : rig.view.close_box();
    const bool refused = leave == D::ok_button;
    EXPECT_EQ(rig.view.result(), refused ? -1 : 0);
    EXPECT_EQ(rig.settings.local_address_index, refused ? 1 : 0);
    EXPECT_EQ(rig.settings.protocol, refused ? discovery::audp : discovery::atcp);
    EXPECT_EQ(rig.settings.port, server::default_port);
    EXPECT_TRUE(rig.settings.raw_data_display);
  }
}

}  // namespace
