// Command 101, Search: empties both lists at once, then lists the modules that answer.
#include <cstdio>

#include "app/main_window.h"
#include "discovery/address_probe.h"
#include "discovery/module_search.h"
#include "discovery/raw_search.h"
#include "ui/texts.h"

namespace app {

void MainWindow::search() {
  stop_if_active();
  reset_module_table();
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
    discovery::RawEthernetSearch raw_search(context_.raw_ethernet, *services_.raw_link,
                                            discovery::uses_raw_arp(context_.state.remote_mode, context_.platform_family));
    if (discovery::search_modules(clock_, context_.adapters, context_.modules, context_.settings.expected_port,
                                  view_, &raw_search) == 0) {
      context_.state.offers.parameter_settings = true;
      context_.state.offers.start = true;
      update_buttons();
    }
  }
  view_.repaint();
}

}  // namespace app
