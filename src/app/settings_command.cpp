// Command 102, Basic settings: the dialog, then the button layout of the chosen modes.
#include "app/main_window.h"
#include "netenv/basic_settings_dialog.h"

namespace app {

void MainWindow::basic_settings() {
  stop_if_active();
  Settings& file = context_.settings;
  MainState& state = context_.state;
  netenv::BasicSettings values{file.refresh_period_ms, file.data_file_saving != 0, file.expected_port,
                               file.setup_answer_mode != 0, state.repair_enabled, state.remote_mode,
                               state.server_mode, state.settings_changed, state.remote_set_by_hand};
  netenv::BasicSettingsDialog dialog(values, context_.adapters,
                                     [this](ui::MessageSink& messages) { return build_adapter_table(messages); });
  const int result = view_.run_dialog(dialog);
  // What the dialog adjusted on opening holds whatever its result.
  file.refresh_period_ms = static_cast<std::uint16_t>(values.refresh_period_ms);
  file.data_file_saving = values.data_file_saving ? 1 : 0;
  file.expected_port = values.expected_port;
  file.setup_answer_mode = values.setup_answer_mode ? 1 : 0;
  state.repair_enabled = values.repair_enabled;
  state.remote_mode = values.remote_mode;
  state.server_mode = values.server_mode;
  state.settings_changed = values.settings_changed;
  // The dialog's remote-answered flag is the manual connection mode: cleared with remote mode.
  state.remote_set_by_hand = values.remote_answered;
  if (result != 1) return;

  if (state.settings_changed) {
    clear_module_view();
    state.settings_changed = false;
  }
  if (state.repair_enabled) {
    state.remote_mode = false;
    state.server_mode = false;
    // The repair button joins the last mode layout, which stays as it was.
    state.layout.repair = true;
    state.offers.module_repair = true;
    state.offers.search = false;
  } else {
    apply_mode_layout();
  }
  state.layout.start_caption = state.server_mode ? StartCaption::server : StartCaption::start;
  update_buttons();
  view_.repaint();
}

void MainWindow::apply_mode_layout() {
  MainState& s = context_.state;
  s.repair_enabled = false;
  s.layout.server = s.server_mode;
  s.layout.remote = s.remote_mode;
  s.layout.repair = false;
  if (!s.server_mode && !s.remote_mode) s.offers.search = true;
  if (s.remote_mode) s.offers.remote_test = true;
  if (s.server_mode) {
    s.offers.start = true;
  } else if (s.remote_mode) {
    s.offers.start = false;
  }
}

}  // namespace app
