// The main window's logic through the scripted view: start-up, the mode layout after the
// basic settings dialog, Exit and shut-down.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "netenv/basic_settings_dialog.h"
#include "support/scripted_dialog.h"
#include "support/scripted_view.h"
#include "support/scripted_program.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;

// 2016-07-20 14:05.
test::FakeWaitClock fixed_clock() {
  test::FakeWaitClock clock;
  clock.set_local_time(test::local_time(2016, 7, 20, 14, 5));
  return clock;
}

// The program started in its own directory, with one adapter and a fixed clock.
struct Program : test::FakeClockProgram {
  Program() : FakeClockProgram(fixed_clock(), test::lan_adapter, false) {}
};

// Answers the basic settings dialog by ticking the given boxes and pressing button.
std::function<int(ui::DialogLogic&)> tick_and_press(std::vector<int> boxes,
                                                    int button = netenv::BasicSettingsDialog::ok_button) {
  return [boxes, button](ui::DialogLogic& logic) {
    test::ScriptedDialog dialog(logic);
    if (!dialog.open()) return dialog.result();
    for (int box : boxes) dialog.click(box);
    dialog.click(button);
    return dialog.result();
  };
}

TEST(MainWindow, RefusesAScreenNarrowerThan1024) {
  for (int width : {1023, 1024}) {
    Program p;
    p.view.screen_width_px = width;
    EXPECT_EQ(p.window.create(), width == 1024);
    if (width == 1023) {
      ASSERT_EQ(p.view.texts(), std::vector<std::string>{ui::texts::screen_too_small});
    }
  }
}

TEST(MainWindow, MissingSettingsAreAnnouncedAndTheDefaultsHold) {
  Program p;
  ASSERT_TRUE(p.window.create());
  ASSERT_EQ(p.view.texts(), std::vector<std::string>{ui::texts::settings_read_failed});
  EXPECT_EQ(p.view.messages[0].caption, ui::texts::caption_error);
  EXPECT_EQ(p.context.settings, app::Settings{});
}

TEST(MainWindow, ClosingWritesTheSettingsOnceAndReportsAFailure) {
  Program p;
  ASSERT_TRUE(p.window.create());
  p.context.settings.refresh_period_ms = 0;  // used unchanged: only the dialog clamps it
  p.window.on_close();
  p.window.on_close();  // the destroy that follows the close
  std::string saved = test::read_file(p.directory.file("qorvan24.cfg"));
  ASSERT_EQ(saved.size(), 20u);
  EXPECT_EQ(saved[6], 0);
  EXPECT_EQ(saved[7], 0);

  // A start directory that has gone: the settings cannot be written.
  Program q;
  ASSERT_TRUE(q.window.create());
  q.context.start_directory = q.directory.path() + "/gone";
  q.view.messages.clear();
  q.window.on_close();
  ASSERT_EQ(q.view.texts(), std::vector<std::string>{ui::texts::settings_write_failed});
}

TEST(MainWindow, ExitWritesTheDataFileWhenAskedTo) {
  for (bool saving : {false, true}) {
    Program p;
    ASSERT_TRUE(p.window.create());
    p.context.settings.data_file_saving = saving;
    p.view.list_add(ui::ListId::modules, "01 module");
    p.view.list_add(ui::ListId::data, "01 data");
    p.window.on_command(ButtonId::exit);
    EXPECT_TRUE(p.view.closed());
    std::string written = test::read_file(p.directory.file("2016_07_20_14_05.txt"));
    EXPECT_EQ(!written.empty(), saving);
    if (saving) {
      EXPECT_NE(written.find("01 module\r\n"), std::string::npos);
    }
  }
}

TEST(MainWindow, StartBeforeAnySearchAsksForOne) {
  Program p;
  ASSERT_TRUE(p.window.create());
  p.view.messages.clear();
  p.window.on_command(ButtonId::start);
  ASSERT_EQ(p.view.texts(), std::vector<std::string>{ui::texts::search_first});
  EXPECT_EQ(p.window.run_state(), app::RunState::idle);
  EXPECT_EQ(p.view.timer_period_ms(), -1);
}

TEST(MainWindow, BasicSettingsLayOutTheButtonsForTheChosenMode) {
  using D = netenv::BasicSettingsDialog;
  struct Case {
    const char* name;
    std::vector<int> boxes;
    bool parameter_shown, search_shown, remote_shown, repair_shown;
    const char* start_caption;
    bool start_enabled;
  };
  const Case cases[] = {
      {"normal", {}, true, true, false, false, ui::texts::button_start, false},
      {"server", {D::server_box}, false, false, false, false, ui::texts::button_start_server, true},
      {"remote", {D::remote_box}, true, false, true, false, ui::texts::button_start, false},
      {"repair", {D::repair_box}, true, true, false, true, ui::texts::button_start, false},
  };
  for (const Case& c : cases) {
    Program p;
    ASSERT_TRUE(p.window.create());
    p.view.dialog_handler = tick_and_press(c.boxes);
    p.context.state.remote_set_by_hand = true;
    p.window.on_command(ButtonId::basic_settings);
    // The work mode chosen by hand for a remote module ends with the remote test.
    EXPECT_EQ(p.context.state.remote_set_by_hand, p.context.state.remote_mode) << c.name;
    EXPECT_EQ(p.view.shown(ButtonId::parameter_settings), c.parameter_shown) << c.name;
    EXPECT_EQ(p.view.shown(ButtonId::search), c.search_shown) << c.name;
    EXPECT_EQ(p.view.shown(ButtonId::remote_test), c.remote_shown) << c.name;
    EXPECT_EQ(p.view.shown(ButtonId::module_repair), c.repair_shown) << c.name;
    EXPECT_EQ(p.view.caption(ButtonId::start), c.start_caption) << c.name;
    EXPECT_EQ(p.view.button_enabled(ButtonId::start), c.start_enabled) << c.name;
    EXPECT_FALSE(p.context.state.settings_changed) << c.name;
    if (std::string(c.name) == "repair") {
      EXPECT_TRUE(p.view.button_enabled(ButtonId::module_repair));
      EXPECT_FALSE(p.view.button_enabled(ButtonId::search));
    }
  }
}

TEST(MainWindow, LeavingTheBasicSettingsChangesNothingButTheFlag) {
  Program p;
  ASSERT_TRUE(p.window.create());
  p.view.list_add(ui::ListId::modules, "01 kept");
  using D = netenv::BasicSettingsDialog;
  p.view.dialog_handler = tick_and_press({D::server_box}, D::leave_button);
  p.window.on_command(ButtonId::basic_settings);
  EXPECT_FALSE(p.context.state.server_mode);
  EXPECT_TRUE(p.context.state.settings_changed);
  EXPECT_EQ(p.view.lines(ui::ListId::modules).size(), 1u);
}

}  // namespace
