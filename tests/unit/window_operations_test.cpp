// Commands that arrive while the window's logic waits, on the fake clock: Stop during a
// polling cycle and the close box during a search end the operation within 100 ms, and any
// other command runs only after the operation has ended. Modules are on 127.0.0.1.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "support/loopback_rig.h"
#include "support/scripted_program.h"

namespace {

using ui::ButtonId;
using ui::ListId;

constexpr std::uint32_t within_ms = 100;

// The program on a fake clock that never waits in real time (nothing here ever answers).
struct Program : test::FakeClockProgram {
  Program() : FakeClockProgram(test::FakeWaitClock{1'000'000, 0}, test::loopback_adapter, false) {}
};

TEST(WindowOperations, StopDuringACycleEndsItAtOnceAndTheLastWholeCycleStays) {
  test::SilentModule module;
  Program p;
  ASSERT_TRUE(p.window.create());
  module.list_in(p.context);
  p.raw_link->neighbour_answers = true;  // the module's address is in use
  p.window.on_command(ButtonId::start);  // the first cycle runs whole
  ASSERT_EQ(p.window.run_state(), app::RunState::polling);
  const std::vector<std::string> first_cycle = p.view.lines(ListId::data);
  ASSERT_EQ(first_cycle.size(), 1u);

  const std::uint32_t press_ms = p.clock.tick_count_ms() + 300;
  p.clock.at_ms(press_ms, [&] { p.window.on_command(ButtonId::stop); });
  p.window.on_timer();
  EXPECT_LT(p.clock.tick_count_ms() - press_ms, within_ms);
  EXPECT_EQ(p.window.run_state(), app::RunState::idle);
  EXPECT_FALSE(p.context.polling.rows[0].socket.valid());
  EXPECT_EQ(p.view.lines(ListId::data), first_cycle);
  EXPECT_EQ(p.view.timer_period_ms(), -1);
  EXPECT_TRUE(p.view.button_enabled(ButtonId::start));
  EXPECT_FALSE(p.view.button_enabled(ButtonId::stop));
}

TEST(WindowOperations, CloseDuringASearchEndsItAtOnceAndTheListsShowEmptyMeanwhile) {
  Program p;
  ASSERT_TRUE(p.window.create());
  p.view.list_add(ListId::modules, "01 -- from before");
  p.view.list_add(ListId::data, "01 -- from before");
  const std::uint32_t press_ms = p.clock.tick_count_ms() + 300;
  bool close_now = true, lists_empty = false;
  std::size_t boxes_at_press = 0;
  p.clock.at_ms(press_ms, [&] {
    boxes_at_press = p.view.messages.size();
    lists_empty = p.view.lines(ListId::modules).empty() && p.view.lines(ListId::data).empty();
    close_now = p.window.on_close_requested();
  });
  p.window.on_command(ButtonId::search);
  EXPECT_TRUE(lists_empty);
  EXPECT_FALSE(close_now);
  EXPECT_LT(p.clock.tick_count_ms() - press_ms, within_ms);
  EXPECT_TRUE(p.view.closed());
  EXPECT_EQ(p.view.messages.size(), boxes_at_press);  // an abandoned search says nothing
}

TEST(WindowOperations, ACommandDuringASearchRunsAfterIt) {
  Program p;
  ASSERT_TRUE(p.window.create());
  int cursor_depth_at_dialog = -1;
  std::uint32_t dialog_ms = 0;
  p.view.dialog_handler = [&](ui::DialogLogic&) {
    cursor_depth_at_dialog = p.view.wait_depth();
    dialog_ms = p.clock.tick_count_ms();
    return 0;
  };
  const std::uint32_t started_ms = p.clock.tick_count_ms();
  p.clock.at_ms(started_ms + 300, [&] { p.window.on_command(ButtonId::basic_settings); });
  p.window.on_command(ButtonId::search);
  EXPECT_EQ(cursor_depth_at_dialog, 0);
  // Both passes' waits (600 ms each) and the retry pause passed before the dialog opened.
  EXPECT_GE(dialog_ms - started_ms, 1200u);
  EXPECT_FALSE(p.view.closed());
}

}  // namespace
