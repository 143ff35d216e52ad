// Command 112 through the scripted view: the repair dialog, then on success the notice and
// the 9 s pause with the wait cursor before the view is emptied.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "maint/module_repair_dialog.h"
#include "support/scripted_program.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;

struct Program : test::FakeClockProgram {
  Program() {
    raw_link->add_devices({"lan1"});
    view.list_add(ui::ListId::modules, "01 a module");
    view.list_add(ui::ListId::data, "01 its readings");
    view.button_enable(ButtonId::start, true);
    view.button_enable(ButtonId::parameter_settings, true);
  }
  // The repair dialog is left with `result`; anything else is not the dialog asked for.
  void repair_ending_with(int result) {
    view.dialog_handler = [result](ui::DialogLogic& dialog) {
      return dynamic_cast<maint::ModuleRepairDialog*>(&dialog) ? result : -1;
    };
    window.on_command(ButtonId::module_repair);
  }
};

TEST(RepairCommand, ASuccessfulRepairAnnouncesThePauseAndEmptiesTheView) {
  Program p;
  int wait_depth_midway = -1;
  p.clock.at_ms(p.clock.tick_count_ms() + 8000, [&] { wait_depth_midway = p.view.wait_depth(); });
  const std::uint32_t start_ms = p.clock.tick_count_ms();
  p.repair_ending_with(1);

  ASSERT_EQ(p.view.messages.size(), 1u);
  EXPECT_EQ(p.view.messages[0].caption, ui::texts::caption_notice);
  EXPECT_EQ(p.view.messages[0].text, "模块参数修改完毕!\r\n请等待8-10秒后,再进行其他操作.");
  EXPECT_EQ(p.clock.tick_count_ms() - start_ms, 9000u);
  EXPECT_EQ(wait_depth_midway, 1);
  EXPECT_EQ(p.view.wait_depth(), 0);
  EXPECT_TRUE(p.view.lines(ui::ListId::modules).empty());
  EXPECT_TRUE(p.view.lines(ui::ListId::data).empty());
  EXPECT_FALSE(p.view.button_enabled(ButtonId::start));
  EXPECT_FALSE(p.view.button_enabled(ButtonId::stop));
  EXPECT_FALSE(p.view.button_enabled(ButtonId::parameter_settings));
}

TEST(RepairCommand, ALeftOrFailedRepairChangesNothing) {
  Program p;
  const std::uint32_t start_ms = p.clock.tick_count_ms();
  p.repair_ending_with(0);
  EXPECT_TRUE(p.view.messages.empty());
  EXPECT_EQ(p.clock.tick_count_ms(), start_ms);
  EXPECT_EQ(p.view.lines(ui::ListId::modules).size(), 1u);
  EXPECT_EQ(p.view.lines(ui::ListId::data).size(), 1u);
}

}  // namespace
