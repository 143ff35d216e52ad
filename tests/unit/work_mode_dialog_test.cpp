// The work-mode dialog: what it shows, what it stores, and the module view it empties.
#include "config/work_mode_dialog.h"

#include <gtest/gtest.h>

#include "support/scripted_dialog.h"

namespace {

using D = config::WorkModeDialog;

struct Rig {
  int selected_work_mode;
  int clears = 0;
  D dialog{selected_work_mode, [this] { ++clears; }};
  test::ScriptedDialog view{dialog};
  explicit Rig(int mode) : selected_work_mode(mode) { EXPECT_TRUE(view.open()); }
};

TEST(WorkModeDialog, OffersTcpUdpAndSnmpWithTheSelectedOneTicked) {
  Rig rig(2);
  EXPECT_EQ(rig.dialog.table().title, std::string("工作模式选择:"));
  ASSERT_EQ(rig.view.texts(), std::vector<std::string>{"注意: 请确认所选工作模式与远程模块相同!"});
  EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
  for (int mode = 0; mode < 3; ++mode) EXPECT_EQ(rig.view.checked(D::tcp_radio + mode), mode == 2);
  for (int id : {D::tcp_radio + 3, D::tcp_radio + 4}) {
    EXPECT_FALSE(rig.view.shown(id));
    EXPECT_FALSE(rig.view.enabled(id));
  }
  EXPECT_EQ(rig.view.focused(), D::ok_button);
}

TEST(WorkModeDialog, OkStoresTheChoiceAfterEmptyingTheView) {
  Rig rig(0);
  rig.view.click(D::tcp_radio + 1);
  rig.view.click(D::ok_button);
  EXPECT_EQ(rig.selected_work_mode, 1);
  EXPECT_EQ(rig.clears, 1);
  EXPECT_EQ(rig.view.messages.back().text, "所选工作模式为: UDP ,按<确认>键进行尝试连接...");
  EXPECT_EQ(rig.view.result(), 1);
}

TEST(WorkModeDialog, AnActiveUploadModeLeftOverIsKeptAndNamedSnmp) {
  Rig rig(4);
  for (int mode = 0; mode < 5; ++mode) EXPECT_FALSE(rig.view.checked(D::tcp_radio + mode));
  rig.view.click(D::ok_button);
  EXPECT_EQ(rig.selected_work_mode, 4);
  EXPECT_EQ(rig.view.messages.back().text, "所选工作模式为: SNMP ,按<确认>键进行尝试连接...");
}

TEST(WorkModeDialog, LeavingChangesNothing) {
  Rig rig(1);
  rig.view.click(D::tcp_radio);
  rig.view.click(D::leave_button);
  EXPECT_EQ(rig.selected_work_mode, 1);
  EXPECT_EQ(rig.clears, 0);
  EXPECT_EQ(rig.view.result(), 0);
}

}  // namespace
