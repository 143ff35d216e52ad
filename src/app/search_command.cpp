// Command 101, Search: empties both lists at once, then lists the modules that answer.
#include <cstdio>

#include "app/main_window.h"
#include "app/command_steps.h"
#include "ui/texts.h"

namespace app {

void MainWindow::search() {
  stop_if_active();
  app::reset_module_table(context_);
  view_.list_clear(ui::ListId::data);
  view_.list_clear(ui::ListId::modules);
  view_.repaint();
  {
    const int r = build_adapter_table(view_);
    if (r < 0) {
      char text[160];
      std::snprintf(text, sizeof text, ui::texts::local_network_error, r);
      view_.warn(ui::texts::caption_error, text);
      return;
    }
  }
  {
    ui::WaitCursor wait(view_);
    if (app::search(context_, clock_, *services_.raw_link, view_) == 0) {
      context_.state.offers.parameter_settings = true;
      context_.state.offers.start = true;
      update_buttons();
    }
  }
  view_.repaint();
}

}  // namespace app
