// Command 112, Module repair, and the view's reset after a write to modules: the modules
// restart with their new parameters, so the operator waits and searches again.
#include <algorithm>

#include "app/command_steps.h"
#include "app/main_window.h"
#include "maint/module_repair.h"
#include "maint/module_repair_dialog.h"
#include "maint/repair_network.h"
#include "maint/setup_dialogue.h"
#include "ui/texts.h"

namespace app {

void MainWindow::module_repair() {
  stop_if_active();
  if (build_adapter_table(view_) != 0) {
    view_.warn(ui::texts::caption_error, ui::texts::no_network_device);
    return;
  }
  maint::RepairNetwork network = repair_network();
  maint::ModuleRepairDialog dialog([this, &network](maint::MacTail tail) {
    return maint::repair_module(context_.adapters, network, {maint::RepairTarget::Origin::dialog, tail});
  });
  if (view_.run_dialog(dialog) == 1) reset_main_window(true);
}

int MainWindow::repair_selected_module() {
  const int selected = context_.state.selected_row;
  if (selected < 0 || selected >= std::min(context_.modules.shown_count, discovery::max_rows))
    return maint::repair_not_found;
  const int slot = context_.modules.display_order[static_cast<std::size_t>(context_.state.selected_row)];
  maint::RepairNetwork network = repair_network();
  return maint::repair_module(context_.adapters, network,
                              maint::selected_row_target(context_.modules.rows[static_cast<std::size_t>(slot)]));
}

maint::RepairNetwork MainWindow::repair_network() {
  const std::string password = context_.config.setup_password.value_or(maint::default_setup_password);
  return maint::RepairNetwork(app::raw_ethernet(context_, *services_.raw_link), clock_, view_, {password, context_.settings.setup_answer_mode != 0});
}

void MainWindow::reset_main_window(bool announce) {
  if (announce) {
    view_.warn(ui::texts::caption_notice, ui::texts::parameters_written);
    ui::WaitCursor wait(view_);
    clock_.sleep_ms(after_write_pause_ms);
  }
  ButtonOffers& offers = context_.state.offers;
  offers.start = false;
  offers.parameter_settings = false;
  if (context_.state.remote_mode) {
    offers.remote_test = true;
    if (context_.state.server_mode) offers.start = true;
  }
  view_.list_clear(ui::ListId::modules);
  view_.list_clear(ui::ListId::data);
  update_buttons();
  view_.repaint();
}

}  // namespace app
