#pragma once
// The program as the operator starts it, in a fresh directory of its own, with the main
// window's logic over the scripted view.
#include "app/main_window.h"
#include "platform/wait_clock.h"
#include "support/fresh_start_directory.h"
#include "support/scripted_view.h"

namespace test {

// Real time unless the test brings a clock of its own (a FakeWaitClock).
struct ScriptedProgram {
  explicit ScriptedProgram(app::MainWindowServices services = {}, platform::WaitClock* clock = nullptr)
      : window(context, view, clock ? *clock : system_clock, std::move(services)) {}

  platform::SystemWaitClock system_clock;
  FreshStartDirectory directory;
  app::ProgramContext context;
  ScriptedView view;
  app::MainWindow window;
};

}  // namespace test
