#include "server/server_settings_dialog.h"

#include <cstdio>

#include "netenv/dialog_adapter_table.h"
#include "ui/texts.h"

namespace server {

unsigned read_port(const std::string& text) {
  unsigned value = 0;
  for (std::size_t i = text.find_first_not_of(" \t"); i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > max_port) return max_port + 1;
  }
  return value;
}

ServerSettingsDialog::ServerSettingsDialog(ServerSettings& settings, netenv::AdapterTable& adapters,
                                           netenv::ExternalAddresses& external,
                                           netenv::AdapterTableBuilder build_adapters, ExternalLookup lookup)
    : settings_(settings),
      adapters_(adapters),
      external_(external),
      build_adapters_(std::move(build_adapters)),
      lookup_(std::move(lookup)) {}

const ui::DialogTable& ServerSettingsDialog::table() const {
  using ui::ControlKind;
  namespace t = ui::texts;
  static const ui::DialogTable dialog{
      t::server_settings_title,
      {
          {ip1_text, ControlKind::text, t::server_local_ip, 0, 0},
          {ip2_text, ControlKind::text, "", 0, 1},
          {external1_text, ControlKind::text, t::server_external_ip, 1, 0},
          {external2_text, ControlKind::text, "", 1, 1},
          {address_group, ControlKind::group, t::server_address_group, 2, 0},
          {ip1_radio, ControlKind::radio, t::server_ip1, 2, 0, address_group},
          {ip2_radio, ControlKind::radio, t::server_ip2, 2, 0, address_group},
          {protocol_group, ControlKind::group, t::server_protocol_group, 3, 0},
          {tcp_radio, ControlKind::radio, t::server_tcp, 3, 0, protocol_group},
          {udp_radio, ControlKind::radio, t::server_udp, 3, 0, protocol_group},
          {port_edit, ControlKind::edit, t::server_port, 4, 0},
          {raw_data_box, ControlKind::check_box, t::server_raw_data, 5, 0},
          {ok_button, ControlKind::button, t::server_ok},
          {cancel_button, ControlKind::button, t::server_cancel},
      }};
  return dialog;
}

void ServerSettingsDialog::on_open(ui::DialogView& view) {
  view.set_wait_cursor(true);
  if (!netenv::ensure_adapter_table(build_adapters_, view)) return;
  const int code = lookup_(adapters_, external_);
  view.set_wait_cursor(false);
  // A LAN without Internet is this tool's usual place: without an external address the
  // server still serves the local addresses, so the failure is only told.
  if (external_.probes_not_permitted)
    view.show_message(ui::texts::caption_notice, ui::texts::server_lookup_right_missing, ui::Icon::warning,
                      ui::Buttons::ok);
  if (code != 0) {
    char text[160];
    std::snprintf(text, sizeof text, ui::texts::server_lookup_failed, code);
    view.show_message(ui::texts::caption_notice, text, ui::Icon::warning, ui::Buttons::ok);
  }
  fill(view);
}

void ServerSettingsDialog::fill(ui::DialogView& view) const {
  const bool two = two_entries();
  for (int id : {ip2_text, external2_text, address_group, ip1_radio, ip2_radio}) view.show(id, two);
  if (two) {
    auto found = [this](std::size_t entry) { return external_.status[entry] == netenv::lookup_found; };
    // The first entry with an external address; without one, the entry chosen last time.
    const bool first = found(0) || (!found(1) && settings_.local_address_index == 0);
    view.set_checked(ip1_radio, first);
    view.set_checked(ip2_radio, !first);
  }
  const std::size_t entries = two ? 2 : 1;
  const int address_ids[] = {ip1_text, ip2_text};
  const int external_ids[] = {external1_text, external2_text};
  for (std::size_t k = 0; k < entries; ++k) {
    view.set_text(address_ids[k], adapters_.addresses[k].ip.dotted());
    view.set_text(external_ids[k], external_.text[k]);
  }
  view.set_checked(uses_tcp(settings_) ? tcp_radio : udp_radio, true);
  view.set_text(port_edit, std::to_string(settings_.port));
  view.set_checked(raw_data_box, settings_.raw_data_display);
}

void ServerSettingsDialog::confirm(ui::DialogView& view) {
  if (!two_entries()) {
    settings_.local_address_index = 0;
  } else if (view.checked(ip1_radio)) {
    settings_.local_address_index = 0;
  } else if (view.checked(ip2_radio)) {
    settings_.local_address_index = 1;
  }
  settings_.protocol = view.checked(tcp_radio) ? discovery::atcp : discovery::audp;
  const unsigned port = read_port(view.text(port_edit));
  if (port < min_port || port > max_port) {
    view.warn(ui::texts::caption_error, ui::texts::server_port_range);
    view.focus(port_edit);
    return;
  }
  settings_.port = static_cast<std::uint16_t>(port);
  settings_.raw_data_display = view.checked(raw_data_box);
  view.close_dialog(1);
}

void ServerSettingsDialog::on_click(ui::DialogView& view, int id) {
  if (id == ok_button) confirm(view);
  if (id == cancel_button) view.close_dialog(0);
}

}  // namespace server
