// Commands 106 and 112 through the scripted view: the selection rules, then what follows
// the dialog: the write and its failure, or in remote mode only the pause; a repair left.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/change_record.h"
#include "app/main_window.h"
#include "config/parameter_dialog.h"
#include "maint/module_repair_dialog.h"
#include "support/arp_test_frames.h"
#include "support/scripted_program.h"
#include "ui/texts.h"

namespace {

using ui::ButtonId;
using Texts = std::vector<std::string>;
namespace t = ui::texts;

// Two listed modules; the first a sensor module on loopback, where nothing acknowledges.
struct Program : test::FakeClockProgram {
  int dialogs = 0;
  Program() {
    discovery::ModuleTable& m = context.modules;
    m.rows[0].ip = test::ipv4("127.0.0.1");
    m.rows[0].sensor_module = true;
    m.rows[1].sensor_module = false;
    m.display_order[0] = 0;
    m.display_order[1] = 1;
    m.shown_count = m.found_count = 2;
    view.list_add(ui::ListId::modules, "01 a module");
    view.list_add(ui::ListId::modules, "02 another");
    raw_link->add_devices({"lan1"});
  }
  // The parameter dialog is left with `result` without being shown.
  void settings_ending_with(std::vector<int> selection, int result) {
    view.selection = std::move(selection);
    view.dialog_handler = [this, result](ui::DialogLogic& dialog) {
      ++dialogs;
      return dynamic_cast<config::ParameterDialog*>(&dialog) ? result : -1;
    };
    window.on_command(ButtonId::parameter_settings);
  }
  // The repair dialog is left with `result`; anything else is not the dialog asked for.
  void repair_ending_with(int result) {
    view.dialog_handler = [result](ui::DialogLogic& dialog) {
      return dynamic_cast<maint::ModuleRepairDialog*>(&dialog) ? result : -1;
    };
    window.on_command(ButtonId::module_repair);
  }
  std::string record_path() const { return context.start_directory + "/" + app::change_record_file_name; }
};

// One selected sensor module goes to the dialog, and so does a module outside its subnet or
// seen by its ARP frames alone, to be moved into it; the dialog left with 0 changes nothing.
TEST(ParameterCommand, TheSelectionMustBeOneSensorModuleOrOneToMove) {
  const char* const not_sensor = "非QT/QV9K模块!";
  struct Case {
    std::vector<int> selection;
    bool outside, raw_only, remote;
    Texts shown;
    const char* caption;
  } cases[] = {
      {{0, 1}, false, false, false, {"只允许在<IP参数栏>选择一个模块!"}, t::caption_notice},
      {{}, false, false, false, {"请在<IP参数栏>先选择要修改的模块!"}, t::caption_error},
      {{1}, false, false, false, {not_sensor}, t::caption_error},
      {{1}, true, false, true, {not_sensor}, t::caption_error},  // nothing is moved in remote mode
      {{1}, true, false, false, {}, nullptr},
      {{1}, false, true, false, {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.empty() ? "to the dialog" : c.shown[0]);
    Program p;
    p.context.modules.rows[1].outside_subnet = c.outside;
    p.context.modules.rows[1].raw_only = c.raw_only;
    p.context.state.remote_mode = c.remote;
    p.settings_ending_with(c.selection, 0);
    ASSERT_EQ(p.view.texts(), c.shown);
    EXPECT_EQ(p.dialogs, c.shown.empty() ? 1 : 0);
    for (const test::ShownMessage& m : p.view.messages) {
      EXPECT_EQ(m.caption, c.caption);
      EXPECT_EQ(m.icon, ui::Icon::warning);
    }
    EXPECT_EQ(p.view.lines(ui::ListId::modules).size(), 2u);
  }
}

// A failed write is reported and records nothing (its message when the module does not
// acknowledge: the module write LAN test); in remote mode the dialog wrote, so the command
// only pauses and empties the view.
TEST(ParameterCommand, AfterTheDialogAFailedWriteIsReportedAndRemoteModeOnlyPauses) {
  Program p;
  p.settings_ending_with({0}, 1);  // nothing on loopback acknowledges
  ASSERT_EQ(p.view.texts(), Texts{"IP参数修改出现错误!"});
  EXPECT_EQ(p.view.messages[0].caption, t::caption_error);
  EXPECT_FALSE(std::filesystem::exists(p.record_path()));

  Program remote;
  remote.context.state.remote_mode = true;
  const std::uint32_t start_ms = remote.clock.tick_count_ms();
  remote.settings_ending_with({0}, 1);
  ASSERT_EQ(remote.view.texts(), Texts{t::parameters_written});
  EXPECT_EQ(remote.clock.tick_count_ms() - start_ms, 9000u);
  EXPECT_TRUE(remote.view.lines(ui::ListId::modules).empty());
  EXPECT_FALSE(std::filesystem::exists(remote.record_path()));
  EXPECT_TRUE(remote.context.state.offers.remote_test);
}

// (The repair itself: the repair LAN test; a successful one's pause with the wait cursor and
// the emptied view: the main window GUI test.)
TEST(RepairCommand, ALeftOrFailedRepairChangesNothing) {
  Program p;
  const std::uint32_t start_ms = p.clock.tick_count_ms();
  p.repair_ending_with(0);
  EXPECT_TRUE(p.view.messages.empty());
  EXPECT_EQ(p.clock.tick_count_ms(), start_ms);
  EXPECT_EQ(p.view.lines(ui::ListId::modules).size(), 2u);
}

}  // namespace
