// The module repair dialog through the scripted backend.
#include <gtest/gtest.h>

#include "maint/module_repair.h"
#include "maint/module_repair_dialog.h"
#include "support/scripted_dialog.h"
#include "ui/texts.h"

namespace {

using Dialog = maint::ModuleRepairDialog;

struct Harness {
  int result = 0;
  std::vector<std::pair<int, int>> repaired;  // tails asked for
  Dialog logic{[this](maint::MacTail tail) {
    repaired.emplace_back(tail.a, tail.b);
    return result;
  }};
  test::ScriptedDialog dialog{logic};

  Harness() { EXPECT_TRUE(dialog.open()); }
  // Types the last three MAC bytes and presses confirm.
  void confirm_mac(const char* b4, const char* b5, const char* b6) {
    dialog.type(Dialog::byte4_edit, b4);
    dialog.type(Dialog::byte5_edit, b5);
    dialog.type(Dialog::byte6_edit, b6);
    dialog.click(Dialog::confirm_button);
  }
};

TEST(ModuleRepairDialog, RefusesAFieldThatIsNotTwoHexDigits) {
  const struct { const char *b4, *b5, *b6; int focused; } cases[] = {
      {"", "2c", "3d", Dialog::byte4_edit},
      {"0b", "2 ", "3d", Dialog::byte5_edit},  // a blank
      {"0b", "2c", "g0", Dialog::byte6_edit},
      {"0b", "-1", "3d", Dialog::byte5_edit},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.b4) + c.b5 + c.b6);
    Harness h;
    EXPECT_EQ(h.dialog.focused(), Dialog::byte4_edit);
    h.confirm_mac(c.b4, c.b5, c.b6);
    ASSERT_EQ(h.dialog.texts(), std::vector<std::string>{ui::texts::repair_bad_character});
    EXPECT_EQ(h.dialog.messages[0].caption, ui::texts::caption_error);
    EXPECT_EQ(h.dialog.focused(), c.focused);
    EXPECT_FALSE(h.dialog.closed());
    EXPECT_TRUE(h.repaired.empty());
  }
}

TEST(ModuleRepairDialog, ConfirmsTheMacThenRepairsByItsTail) {
  Harness h;
  h.dialog.answers = {ui::Answer::cancel};
  h.confirm_mac("a1", "0B", "2cff");  // only the first two characters count
  ASSERT_EQ(h.dialog.texts(), (std::vector<std::string>{"输入符合规则! MAC码 = 00204A-A10B2C \r\n请按<确认>键继续,或按<取消>键退出."}));
  EXPECT_EQ(h.dialog.messages[0].buttons, ui::Buttons::ok_cancel);
  EXPECT_EQ(h.dialog.messages[0].icon, ui::Icon::information);
  EXPECT_FALSE(h.dialog.closed());  // Cancel: back to the fields
  EXPECT_TRUE(h.repaired.empty());

  h.dialog.answers = {ui::Answer::ok};
  h.dialog.click(Dialog::confirm_button);
  EXPECT_EQ(h.repaired, (std::vector<std::pair<int, int>>{{0x0B, 0x2C}}));
  EXPECT_EQ(h.dialog.result(), 1);
  EXPECT_EQ(h.dialog.messages.size(), 2u);  // success says nothing more here
}

TEST(ModuleRepairDialog, EachFailureHasItsMessageAndClosesWithZero) {
  const std::pair<int, const char*> cases[] = {
      {maint::repair_not_found, "模块不存在! 请检查MAC参数输入是否正确!"},
      {maint::repair_setup_failed, "模块存在! 但其参数无法修复, 请返厂检修!"},
      {maint::repair_no_free_address, "本机子网可用主机地址空间不足! 请检查本机网络参数设置!"},
      {maint::repair_probe_error, "网络操作出现错误! 请检查网络参数设置!"},  // and every other failure
      {maint::repair_cancelled, nullptr},  // the confirmation only
  };
  for (const auto& [code, text] : cases) {
    SCOPED_TRACE(code);
    Harness h;
    h.result = code;
    h.confirm_mac("00", "11", "22");
    ASSERT_EQ(h.dialog.messages.size(), text ? 2u : 1u);
    if (text) {
      EXPECT_EQ(h.dialog.messages[1].text, text);
      EXPECT_EQ(h.dialog.messages[1].caption, ui::texts::caption_notice);
    }
    EXPECT_EQ(h.dialog.result(), 0);
  }
}

}  // namespace
