#pragma once
// The program as the operator starts it, in a fresh directory of its own, with the main
// window's logic over the scripted view.
#include "app/main_window.h"
#include "support/fresh_start_directory.h"
#include "support/scripted_view.h"

namespace test {

struct ScriptedProgram {
  explicit ScriptedProgram(app::MainWindowServices services = {}) : window(context, view, std::move(services)) {}

  FreshStartDirectory directory;
  app::ProgramContext context;
  ScriptedView view;
  app::MainWindow window;
};

}  // namespace test
