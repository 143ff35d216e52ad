// Command 113, Remote test: the remote test dialog puts the module typed by its address in
// row 0; the window lists it and, for a sensor module that polls, checks the connection so
// that Start finds its socket ready.
#include <algorithm>

#include "app/command_steps.h"
#include "app/main_window.h"
#include "config/work_mode_dialog.h"
#include "discovery/search_result_line.h"
#include "maint/remote_module.h"
#include "maint/remote_test_dialog.h"
#include "polling/polling_cycle.h"
#include "rawlink/address_probe.h"
#include "tools/icmp_probe.h"
#include "ui/texts.h"

namespace app {

void MainWindow::remote_test() {
  stop_if_active();
  clear_module_view();
  // The probes go out through the adapters: the table is built before anything is asked.
  if (build_adapter_table(view_) != 0) {
    view_.warn(ui::texts::caption_error, ui::texts::no_network_device);
    return;
  }
  MainState& s = context_.state;
  rawlink::RawEthernet raw = app::raw_ethernet(context_, *services_.raw_link);
  tools::SystemIcmpLink icmp(clock_);
  int& probe_subnet_index = context_.raw_ethernet.probe_subnet_index;
  auto read_remote = [&] {
    const int entry = std::clamp(probe_subnet_index, 0, netenv::max_address_entries - 1);
    const maint::RemoteTarget target{s.remote_ip, context_.adapters.addresses[static_cast<std::size_t>(entry)].ip,
                                     entry, context_.settings.expected_port};
    return maint::read_remote_module(maint::system_query_sockets(clock_), clock_, target, context_.modules,
                                     s.selected_work_mode);
  };
  auto choose_work_mode = [&] {
    config::WorkModeDialog dialog(s.selected_work_mode, [this] { clear_module_view(); });
    return view_.run_dialog(dialog);
  };
  maint::RemoteTestDialog dialog(
      {context_.adapters, s.remote_ip, s.remote_set_by_hand},
      {view_, [&raw](platform::Ipv4Address ip) { return rawlink::probe_address_in_use(raw, ip); },
       [&](platform::Ipv4Address ip) {
         return tools::remote_echo_probe(context_.adapters, icmp, ip, probe_subnet_index);
       },
       [this] { return lookup_external_addresses(context_, clock_, *services_.raw_link); }, read_remote,
       choose_work_mode,
       [&] {
         maint::set_remote_module_by_hand(context_.modules, context_.polling, probe_subnet_index, s.selected_work_mode);
       },
       [this] { return clock_.cancelled(); }});
  if (view_.run_dialog(dialog) != 1) return;
  present_remote_module();
}

void MainWindow::present_remote_module() {
  ButtonOffers& offers = context_.state.offers;
  discovery::refresh_module_list(context_.modules, context_.adapters, context_.settings.expected_port, view_,
                                 context_.state.remote_ip);
  // What a module described by hand would be written with is not known.
  const bool offer_parameters = !context_.state.remote_set_by_hand;
  if (!context_.modules.rows[0].sensor_module) {
    offers.parameter_settings = offer_parameters;
    update_buttons();
    return;
  }
  if (context_.modules.active_module_seen) {
    view_.show_message(ui::texts::caption_notice, ui::texts::remote_active_module, ui::Icon::warning, ui::Buttons::ok);
  } else {
    int result;
    {
      ui::WaitCursor wait(view_);
      result = open_polling(context_, clock_, *services_.raw_link);
    }
    if (result < 0) {
      view_.warn(ui::texts::caption_error, ui::texts::remote_network_error);
      return;
    }
    context_.polling.receive_buffer.fill(0);
    if (context_.polling.rows[0].connected != polling::ready) {
      view_.warn(ui::texts::caption_error, ui::texts::remote_connect_failed);
      return;
    }
  }
  offers.parameter_settings = offer_parameters;
  offers.start = true;
  offers.search = false;
  update_buttons();
}

}  // namespace app
