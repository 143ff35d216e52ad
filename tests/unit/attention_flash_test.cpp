#include "config/attention_flash.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/active_upload_dialog.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_dialog.h"

namespace {

// Any dialog with a button serves as the stage.
struct Stage {
  netenv::PendingParameters pending;
  discovery::ModuleRow row;
  config::ActiveUploadDialog dialog{pending, row, {}, config::UploadDefaults{}};
  test::ScriptedDialog view{dialog};
  test::FakeWaitClock clock;
  static constexpr int button = config::ActiveUploadDialog::defaults_button;
};

// The focus on the button shows in the parameter dialog's active-upload case.
TEST(AttentionFlash, ReminderThenTwoFlashesOnTheClock) {
  Stage s;
  const std::uint32_t start = s.clock.tick_count_ms();
  std::vector<bool> enabled_at;  // sampled at 100, 250, 400, 600 and 800 ms
  for (std::uint32_t at : {100u, 250u, 400u, 600u, 800u})
    s.clock.at_ms(start + at, [&] { enabled_at.push_back(s.view.enabled(Stage::button)); });

  config::remind_upload_parameters(s.view, s.clock, Stage::button);
  ASSERT_EQ(s.view.texts(), std::vector<std::string>{"请按 <主动上传参数...> 键，确认各项参数!"});
  EXPECT_EQ(s.view.messages[0].caption, "系统提示");
  EXPECT_EQ(s.clock.sleeps_ms(), (std::vector<int>{150, 200, 200, 200}));
  s.clock.advance_ms(300);
  EXPECT_EQ(enabled_at, (std::vector<bool>{true, false, true, false, true}));
}

TEST(AttentionFlash, CancelledDuringAFlashLeavesTheButtonEnabled) {
  Stage s;
  s.clock.at_ms(s.clock.tick_count_ms() + 250, [&] { s.clock.cancel(); });
  config::flash_button(s.view, s.clock, Stage::button);
  EXPECT_TRUE(s.view.enabled(Stage::button));
  EXPECT_EQ(s.clock.sleeps_ms().size(), 2u);
}

}  // namespace
