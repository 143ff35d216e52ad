// Commands 103 and 104 without server mode: Start opens the polling sockets and runs the
// first cycle, each timer tick runs one more, Stop closes the sockets.
#include "app/command_steps.h"
#include "app/main_window.h"
#include "polling/polling_cycle.h"
#include "polling/reading_lines.h"
#include "rawlink/address_probe.h"
#include "ui/texts.h"

namespace app {

void MainWindow::start() {
  if (context_.state.server_mode) {
    start_server();
    return;
  }
  if (!context_.adapters.adapter_table_valid || context_.modules.shown_count <= 0) {
    view_.warn(ui::texts::caption_error, ui::texts::search_first);
    return;
  }
  if (context_.modules.active_module_seen) {
    view_.show_message(ui::texts::caption_notice, ui::texts::active_module_present, ui::Icon::warning,
                       ui::Buttons::yes_no);
  }
  start_polling();
}

void MainWindow::start_polling() {
  {
    ui::WaitCursor wait(view_);
    if (open_polling(context_, clock_, *services_.raw_link) < 0) {
      view_.warn(ui::texts::caption_error, ui::texts::polling_open_failed);
      return;
    }
  }
  context_.state.polling_active = true;
  update_buttons();
  {
    ui::WaitCursor wait(view_);
    // An abandoned cycle shows nothing: Stop or the close box follows at once.
    if (polling::polling_cycle(true, context_.modules, context_.polling, query_settings(context_, clock_)) != 0) return;
  }
  polling::show_readings(true, context_.modules, context_.polling, view_);
  view_.timer_start(context_.settings.refresh_period_ms);
}

void MainWindow::polling_tick() {
  view_.timer_stop();
  if (polling::polling_cycle(false, context_.modules, context_.polling, query_settings(context_, clock_)) != 0) return;
  polling::show_readings(false, context_.modules, context_.polling, view_);
  view_.timer_start(context_.settings.refresh_period_ms);
}

void MainWindow::stop_polling() {
  view_.timer_stop();
  if (context_.polling.sockets_open) polling::close_polling_sockets(context_.polling);
  context_.state.polling_active = false;
  const MainState& s = context_.state;
  ButtonOffers& offers = context_.state.offers;
  offers.module_repair = true;
  offers.parameter_settings = !(s.remote_mode && s.remote_set_by_hand);
  offers.search = !s.remote_mode;
  offers.remote_test = s.remote_mode;
}

}  // namespace app
