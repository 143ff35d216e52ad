// Commands 103 and 104 in server mode: the server settings dialog (with the external address
// lookup), then the upload server; Stop closes it.
#include "app/command_steps.h"
#include "app/main_window.h"
#include "server/server_settings_dialog.h"
#include "ui/texts.h"

namespace app {

void MainWindow::start_server() {
  // The dialog fills the program's own external addresses.
  auto lookup = [this](const netenv::AdapterTable&, netenv::ExternalAddresses&) {
    return lookup_external_addresses(context_, clock_, *services_.raw_link);
  };
  server::ServerSettingsDialog dialog(context_.server_settings, context_.adapters, context_.external_addresses,
                                      [this](ui::MessageSink& messages) { return build_adapter_table(messages); },
                                      lookup);
  if (view_.run_dialog(dialog) != 1) return;

  app::reset_module_table(context_);
  int result = 0;
  {
    ui::WaitCursor wait(view_);
    if (!context_.polling.sockets_open) result = upload_server_.start_server();
  }
  if (result < 0) {
    view_.warn(ui::texts::caption_error, ui::texts::server_start_failed);
    return;
  }
  upload_server_.banner();
  update_buttons();
}

void MainWindow::stop_server() {
  upload_server_.stop_server();
  context_.state.offers.remote_test = context_.state.remote_mode;
}

}  // namespace app
