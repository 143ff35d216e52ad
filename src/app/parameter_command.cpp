// Command 106, Parameter settings: the module parameter dialog for the one selected module,
// then the write with its network section, the change record and the pause while the module
// restarts. In remote mode and after re-addressing the dialog has done the work itself.
#include <vector>

#include "app/change_record.h"
#include "app/command_steps.h"
#include "app/main_window.h"
#include "app/start_directory.h"
#include "config/module_writes.h"
#include "config/parameter_dialog.h"
#include "rawlink/address_probe.h"
#include "ui/texts.h"

namespace app {

void MainWindow::parameter_settings() {
  stop_if_active();
  std::vector<int> selected;
  if (!view_.list_selection(ui::ListId::modules, selected)) {
    view_.warn(ui::texts::caption_error, ui::texts::selection_unreadable);
    return;
  }
  if (selected.size() > 1) {
    view_.warn(ui::texts::caption_notice, ui::texts::select_only_one);
    return;
  }
  if (selected.empty()) {
    view_.warn(ui::texts::caption_error, ui::texts::select_first);
    return;
  }
  discovery::ModuleTable& table = context_.modules;
  // A line the table no longer has (the list and the table disagree) cannot be read.
  if (selected[0] < 0 || selected[0] >= std::min(table.shown_count, discovery::max_rows)) {
    view_.warn(ui::texts::caption_error, ui::texts::selection_unreadable);
    return;
  }
  context_.state.selected_row = selected[0];
  discovery::ModuleRow& row = table.rows[static_cast<std::size_t>(table.display_order[static_cast<std::size_t>(selected[0])])];
  const bool remote = context_.state.remote_mode;
  // A module outside its subnet or seen only by its ARP frames is never a sensor module by
  // its flags; the dialog offers to move it into the subnet, so it goes on to the dialog.
  const bool to_readdress = !remote && (row.outside_subnet || row.raw_only);
  if (!row.sensor_module && !to_readdress) {
    view_.warn(ui::texts::caption_error, ui::texts::not_sensor_module);
    return;
  }

  const std::size_t entry = row.subnet_index;
  const std::string external =
      entry < context_.external_addresses.text.size() ? context_.external_addresses.text[entry] : std::string();
  rawlink::RawEthernet raw = app::raw_ethernet(context_, *services_.raw_link);
  const platform::Ipv4Address local_ip = remote_local_ip(context_);
  const platform::Ipv4Address remote_ip = context_.state.remote_ip;
  config::ParameterDialog dialog(
      {row, context_.adapters, context_.pending, context_.wireless, context_.wireless_backup, remote, external},
      {clock_, view_, [&raw](platform::Ipv4Address ip) { return rawlink::probe_address_in_use(raw, ip); },
       [this] { return repair_selected_module(); },
       [this, &row] { return config::read_selected_wireless(clock_, row, context_.wireless); },
       [this, &row] { return config::write_selected_wireless(clock_, row, context_.wireless); },
       [this, &row, local_ip, remote_ip] {
         return config::write_remote_module(clock_, row, context_.pending, remote_ip, local_ip);
       },
       [this](ui::DialogLogic& sub) { return view_.run_dialog(sub); }, config::UploadDefaults{}});
  if (view_.run_dialog(dialog) != 1) return;

  if (!remote && !dialog.readdressed()) {
    // The change line takes the old values from the row: build it before anything moves.
    const discovery::ModuleRow before = row;
    int result = 0;
    {
      ui::WaitCursor wait(view_);
      result = config::write_selected_module(clock_, row, context_.pending);
    }
    if (result != 0) {
      view_.warn(ui::texts::caption_error, ui::texts::ip_write_failed);
      return;
    }
    record_change(before);
  }
  reset_main_window(true);
}

void MainWindow::record_change(const discovery::ModuleRow& row) {
  std::uint32_t& counter = context_.settings.change_record_counter;
  const int result = append_change_record(join_start_directory(context_.start_directory, change_record_file_name),
                                          counter, clock_.local_time(), row, context_.pending,
                                          row.wireless ? &context_.wireless.edited : nullptr);
  if (result != 0) {
    // The module has changed already: the operator must know that its old values are not on record.
    view_.show_message(ui::texts::caption_file_error, ui::texts::change_record_failed, ui::Icon::none, ui::Buttons::ok);
    return;
  }
  // Written at once, so a crash cannot hand the same counter to the next change.
  write_settings(join_start_directory(context_.start_directory, settings_file_name), context_.settings, view_);
}

}  // namespace app
