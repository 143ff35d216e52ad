// The basic settings dialog through the scripted backend.
#include <gtest/gtest.h>

#include "netenv/basic_settings_dialog.h"
#include "support/scripted_dialog.h"
#include "ui/texts.h"

namespace {

using Dialog = netenv::BasicSettingsDialog;

platform::AdapterListing two_adapters() {
  platform::AdapterListing listing;
  platform::PlatformAdapter ethernet;
  ethernet.mac = {0x00, 0x1A, 0x2B, 0x3D, 0x4E, 0x5F};
  ethernet.type = 6;
  ethernet.name = "lan1";
  ethernet.addresses = {{"192.168.1.10", "255.255.255.0"}, {"192.168.7.1", "255.255.0.0"}};
  platform::PlatformAdapter ppp;
  ppp.type = 23;
  ppp.name = "ppp0";
  ppp.addresses = {{"10.64.0.2", "255.255.255.255"}};
  listing.adapters = {ethernet, ppp};
  return listing;
}

struct Harness {
  netenv::BasicSettings settings;
  netenv::AdapterTable adapters;
  platform::AdapterListing listing = two_adapters();
  Dialog logic{settings, adapters, [this](ui::MessageSink& messages) {
                 return adapters.adapter_table_valid ? 0 : netenv::build_adapter_table(adapters, listing, messages);
               }};
  test::ScriptedDialog dialog{logic};
};

TEST(BasicSettingsDialog, OpeningListsTheAdaptersAndReflectsTheModesInForce) {
  Harness h;
  h.settings.expected_port = 4001;
  ASSERT_TRUE(h.dialog.open());
  EXPECT_EQ(h.dialog.text(Dialog::adapters_text), "1-001A2B3D4E5F;  2-PPP 设备;  ");
  EXPECT_EQ(h.dialog.text(Dialog::addresses_text), "[1]-192.168.1.10\r\n[1]-192.168.7.1\r\n[2]-10.64.0.2\r\n");
  EXPECT_EQ(h.dialog.text(Dialog::masks_text), "255.255.255.0\r\n255.255.0.0\r\n255.255.255.255\r\n");
  EXPECT_EQ(h.dialog.text(Dialog::period_edit), "1000");
  EXPECT_EQ(h.settings.expected_port, 10050);  // set back on every opening

  Harness repair;
  repair.settings.repair_enabled = true;
  repair.settings.remote_mode = true;  // cannot stand beside repair: cleared on opening
  ASSERT_TRUE(repair.dialog.open());
  EXPECT_TRUE(repair.dialog.checked(Dialog::repair_box));
  EXPECT_FALSE(repair.dialog.enabled(Dialog::remote_box));
  EXPECT_FALSE(repair.settings.remote_mode);

  Harness both;
  both.settings.remote_mode = both.settings.server_mode = both.settings.remote_answered = true;
  ASSERT_TRUE(both.dialog.open());
  EXPECT_TRUE(both.dialog.checked(Dialog::remote_box));
  EXPECT_TRUE(both.dialog.checked(Dialog::server_box));
  EXPECT_FALSE(both.dialog.enabled(Dialog::repair_box));
  both.dialog.click(Dialog::remote_box);
  both.dialog.click(Dialog::ok_button);
  EXPECT_FALSE(both.settings.remote_mode);
  EXPECT_FALSE(both.settings.remote_answered);  // cleared with the remote box
  EXPECT_TRUE(both.settings.server_mode);
  EXPECT_FALSE(both.settings.setup_answer_mode);
}

// (No adapter at all: the server settings dialog test, over the same first step.)

TEST(ClampRefreshPeriod, HoldsThePeriodIn1000To10000) {
  const std::pair<const char*, int> cases[] = {{"500", 1000},  {"1000", 1000},   {"1001", 1001}, {"9999", 9999},
                                               {"10000", 10000}, {"20000", 10000}, {"", 1000},     {"abc", 1000},
                                               {"99999999999", 10000}};
  for (const auto& [typed, stored] : cases) EXPECT_EQ(netenv::clamp_refresh_period(typed), stored) << typed;
}

TEST(BasicSettingsDialog, ModeBoxesExcludeEachOtherAndOkTakesThem) {
  Harness h;
  ASSERT_TRUE(h.dialog.open());
  h.dialog.click(Dialog::remote_box);
  EXPECT_FALSE(h.dialog.enabled(Dialog::repair_box));
  h.dialog.click(Dialog::repair_box);  // disabled: nothing happens
  EXPECT_FALSE(h.dialog.checked(Dialog::repair_box));
  h.dialog.click(Dialog::server_box);
  h.dialog.click(Dialog::remote_box);  // server still ticked: repair stays disabled
  EXPECT_FALSE(h.dialog.enabled(Dialog::repair_box));
  h.dialog.click(Dialog::server_box);
  EXPECT_TRUE(h.dialog.enabled(Dialog::repair_box));
  h.dialog.click(Dialog::repair_box);
  EXPECT_FALSE(h.dialog.enabled(Dialog::remote_box));
  EXPECT_FALSE(h.dialog.enabled(Dialog::server_box));
  h.dialog.click(Dialog::data_file_box);
  h.dialog.type(Dialog::period_edit, "20000");
  h.dialog.click(Dialog::ok_button);
  EXPECT_TRUE(h.settings.repair_enabled);
  EXPECT_FALSE(h.settings.remote_mode);
  EXPECT_FALSE(h.settings.server_mode);
  EXPECT_TRUE(h.settings.data_file_saving);
  EXPECT_TRUE(h.settings.settings_changed);
  EXPECT_EQ(h.settings.refresh_period_ms, 10000);
}

// (Leaving: the main window test, through the window.)


}  // namespace
