// Commands 103 and 104 in server mode: the server settings dialog (with the external address
// lookup), then the upload server; Stop closes it.
#include "app/main_window.h"
#include "server/server_settings_dialog.h"
#include "tools/external_address_lookup.h"
#include "tools/icmp_probe.h"
#include "ui/texts.h"

namespace app {

void MainWindow::start_server() {
  auto lookup = [this](const netenv::AdapterTable&, netenv::ExternalAddresses& results) {
    discovery::RawEthernet raw = raw_ethernet();
    tools::SystemIcmpLink icmp(clock_);
    tools::SystemAddressLookupLink link(raw, icmp);
    return tools::external_address_lookup(context_.adapters, results, link);
  };
  server::ServerSettingsDialog dialog(context_.server_settings, context_.adapters, context_.external_addresses,
                                      [this](ui::MessageSink& messages) { return build_adapter_table(messages); },
                                      lookup);
  if (view_.run_dialog(dialog) != 1) return;

  reset_module_table();
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
