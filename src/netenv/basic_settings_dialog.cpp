#include "netenv/basic_settings_dialog.h"

#include <cstdio>
#include <string>

#include "netenv/dialog_adapter_table.h"
#include "ui/texts.h"

namespace netenv {

int clamp_refresh_period(const std::string& text) {
  unsigned long value = 0;
  const bool digits_only = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  if (digits_only) value = text.size() > 9 ? max_refresh_period_ms : std::stoul(text);
  if (value <= static_cast<unsigned long>(min_refresh_period_ms)) return min_refresh_period_ms;
  if (value >= static_cast<unsigned long>(max_refresh_period_ms)) return max_refresh_period_ms;
  return static_cast<int>(value);
}

BasicSettingsDialog::BasicSettingsDialog(BasicSettings& settings, const AdapterTable& adapters,
                                         AdapterTableBuilder build_adapters)
    : settings_(settings), adapters_(adapters), build_adapters_(std::move(build_adapters)) {}

const ui::DialogTable& BasicSettingsDialog::table() const {
  using ui::ControlKind;
  namespace t = ui::texts;
  static const ui::DialogTable dialog{
      t::basic_settings_title,
      {
          {adapters_text, ControlKind::text, t::basic_adapters, 0, 0},
          {addresses_text, ControlKind::multiline_text, t::basic_local_ip, 1, 0},
          {masks_text, ControlKind::multiline_text, t::basic_masks, 2, 0},
          {period_edit, ControlKind::edit, t::basic_period, 3, 0, 0, t::basic_period_unit},
          {data_file_box, ControlKind::check_box, t::basic_data_file, 4, 0},
          {repair_box, ControlKind::check_box, t::basic_repair, 5, 0},
          {remote_box, ControlKind::check_box, t::basic_remote, 6, 0},
          {server_box, ControlKind::check_box, t::basic_server, 7, 0},
          {ok_button, ControlKind::button, t::basic_ok},
          {leave_button, ControlKind::button, t::basic_leave},
      }};
  return dialog;
}

void BasicSettingsDialog::on_open(ui::DialogView& view) {
  view.set_checked(data_file_box, settings_.data_file_saving);

  if (!settings_.repair_enabled && !settings_.remote_mode && !settings_.server_mode) {
    view.enable(repair_box, true);
    view.enable(remote_box, true);
    view.enable(server_box, true);
  } else if (settings_.repair_enabled) {
    // Repair excludes the other two modes.
    settings_.remote_mode = false;
    settings_.server_mode = false;
    view.enable(remote_box, false);
    view.enable(server_box, false);
    view.set_checked(repair_box, true);
  } else {
    view.set_checked(repair_box, false);
    if (settings_.remote_mode) {
      view.set_checked(remote_box, true);
      view.enable(repair_box, false);
    }
    if (settings_.server_mode) {
      view.set_checked(server_box, true);
      view.enable(repair_box, false);
    }
  }

  view.set_text(period_edit, std::to_string(settings_.refresh_period_ms));
  settings_.expected_port = sensor_data_port;

  view.set_wait_cursor(true);
  if (!ensure_adapter_table(build_adapters_, view)) return;
  fill_adapter_fields(view);
  view.set_wait_cursor(false);
}

void BasicSettingsDialog::fill_adapter_fields(ui::DialogView& view) const {
  std::string devices;
  for (int i = 0; i < adapters_.adapter_count && i < max_adapters; ++i) {
    const AdapterEntry& adapter = adapters_.adapters[static_cast<std::size_t>(i)];
    char item[64];
    if (adapter.type == ppp_adapter_type) {
      std::snprintf(item, sizeof item, ui::texts::basic_ppp_device, i + 1);
    } else {
      const auto& m = adapter.mac;
      std::snprintf(item, sizeof item, "%0d-%02X%02X%02X%02X%02X%02X", i + 1, m[0], m[1], m[2], m[3], m[4], m[5]);
    }
    devices += item;
    devices += ";  ";
  }
  std::string addresses, masks;
  for (int k = 0; k < adapters_.address_count && k < max_address_entries; ++k) {
    const AddressEntry& entry = adapters_.addresses[static_cast<std::size_t>(k)];
    addresses += "[" + std::to_string(entry.adapter + 1) + "]-" + entry.ip.dotted() + "\r\n";
    masks += entry.mask.dotted() + "\r\n";
  }
  view.set_text(adapters_text, devices);
  view.set_text(addresses_text, addresses);
  view.set_text(masks_text, masks);
}

void BasicSettingsDialog::on_click(ui::DialogView& view, int id) {
  switch (id) {
    case repair_box:
      settings_.settings_changed = true;
      if (view.checked(repair_box)) {
        view.set_checked(remote_box, false);
        view.set_checked(server_box, false);
        view.enable(remote_box, false);
        view.enable(server_box, false);
      } else {
        view.enable(remote_box, true);
        view.enable(server_box, true);
      }
      break;
    case remote_box:
      settings_.settings_changed = true;
      if (view.checked(remote_box)) {
        view.set_checked(repair_box, false);
        view.enable(repair_box, false);
      } else if (!view.checked(server_box)) {
        view.enable(repair_box, true);
      }
      break;
    case server_box:
      settings_.settings_changed = true;
      if (view.checked(server_box)) {
        view.set_checked(repair_box, false);
        view.enable(repair_box, false);
      } else if (!view.checked(remote_box)) {
        view.enable(repair_box, true);
      }
      break;
    case ok_button:
      settings_.data_file_saving = view.checked(data_file_box);
      settings_.repair_enabled = view.checked(repair_box);
      settings_.remote_mode = view.checked(remote_box);
      settings_.server_mode = view.checked(server_box);
      if (!settings_.remote_mode) settings_.remote_answered = false;
      settings_.refresh_period_ms = clamp_refresh_period(view.text(period_edit));
      settings_.setup_answer_mode = false;
      view.close_dialog(1);
      break;
    case leave_button: view.close_dialog(0); break;
    default: break;
  }
}

}  // namespace netenv
