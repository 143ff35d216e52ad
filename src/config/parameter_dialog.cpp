#include "config/parameter_dialog.h"

#include <cstdio>

#include "config/attention_flash.h"
#include "config/dialog_fields.h"
#include "config/gateway_check.h"
#include "config/wireless_dialog.h"
#include "discovery/parameter_changes.h"
#include "netenv/address_checks.h"
#include "ui/texts.h"

namespace config {
namespace {

namespace t = ui::texts;

constexpr int baud_codes = 11;
constexpr long min_port = 1000;
constexpr long max_port = 65533;
constexpr std::size_t number_field_chars = 9;

int mode_radio(int mode) { return ParameterDialog::tcp_radio + mode; }

bool active_upload(int work_mode) { return work_mode == discovery::audp || work_mode == discovery::atcp; }

ui::DialogTable build_table(bool remote_mode) {
  using ui::ControlKind;
  using P = ParameterDialog;
  ui::DialogTable table{t::parameter_title,
                        {
                            {P::subnet_text, ControlKind::text, remote_mode ? t::parameter_subnet_remote : t::parameter_subnet, 0, 0},
                            {P::ip_edit, ControlKind::edit, t::parameter_ip, 1, 0},
                            {P::gateway_edit, ControlKind::edit, t::parameter_gateway, 2, 0},
                            {P::mask_edit, ControlKind::edit, t::parameter_mask, 3, 0},
                            {P::port_edit, ControlKind::edit, t::parameter_port, 4, 0},
                            {P::baud_edit, ControlKind::edit, t::parameter_baud, 5, 0},
                            {P::mode_group, ControlKind::group, t::parameter_mode_group, 6, 0},
                        }};
  for (int mode = 0; mode < 5; ++mode)
    table.controls.push_back({P::tcp_radio + mode, ControlKind::radio, t::mode_radio[mode], 6, 0, P::mode_group});
  for (auto [id, label] : {std::pair{P::upload_button, t::parameter_upload_button}, {P::wireless_button, t::parameter_wireless_button},
                           {P::defaults_button, t::parameter_defaults}, {P::ok_button, t::parameter_ok},
                           {P::leave_button, t::parameter_leave}})
    table.controls.push_back({id, ControlKind::button, label});
  return table;
}

std::string subnet_caption(const ParameterSubject& s) {
  const netenv::AddressEntry* entry = discovery::subnet_entry(s.row, s.adapters);
  if (!entry) return {};
  char number[16];
  std::snprintf(number, sizeof number, " %d-- ", s.row.subnet_index + 1);
  const std::string right = s.remote_mode ? s.external_address : entry->mask.dotted();
  return number + entry->ip.dotted() + " / " + right;
}

}  // namespace

ParameterDialog::ParameterDialog(ParameterSubject subject, ParameterActions actions)
    : s_(std::move(subject)), a_(std::move(actions)), table_(build_table(s_.remote_mode)) {}

void ParameterDialog::on_open(ui::DialogView& view) {
  const discovery::ModuleRow& row = s_.row;
  for (int id : {port_edit, baud_edit}) view.show(id, false);
  if (s_.remote_mode) {
    for (int id : {defaults_button, wireless_button, ip_edit, gateway_edit, mask_edit}) view.enable(id, false);
  }
  view.set_text(subnet_text, subnet_caption(s_));
  view.set_text(ip_edit, row.ip.dotted());
  view.set_text(gateway_edit, row.gateway.dotted());
  view.set_text(mask_edit, netenv::mask_from_host_bits(row.host_bits).dotted());
  view.set_text(port_edit, std::to_string(row.port));
  view.set_text(baud_edit, std::to_string(discovery::baud_rate(row.baud_code)));
  for (int mode = 0; mode < 5; ++mode) view.set_checked(tcp_radio + mode, row.work_mode == mode);
  view.show(mode_radio(discovery::snmp), row.snmp_capable);
  view.enable(mode_radio(discovery::snmp), row.snmp_capable);
  for (int id : {mode_radio(discovery::audp), mode_radio(discovery::atcp)}) {
    view.show(id, row.active_capable);
    view.enable(id, row.active_capable);
  }
  view.show(upload_button, active_upload(row.work_mode));
  view.show(wireless_button, row.wireless);

  wireless_read_ = false;
  readdressed_ = false;
  netenv::PendingParameters& p = s_.pending;
  p.active_upload_confirmed = false;
  p.server_by_name = false;
  p.dns_ip = {};
  p.server_name[0] = 0;

  if (s_.remote_mode) return;
  if (!discovery::row_inside_subnet(row, s_.adapters)) {
    offer_readdressing(view, t::outside_subnet_question);
  } else if (row.raw_only) {
    offer_readdressing(view, t::unknown_parameters_question);
  }
}

void ParameterDialog::offer_readdressing(ui::DialogView& view, const char* question) {
  if (view.show_message(t::caption_error, question, ui::Icon::warning, ui::Buttons::yes_no) != ui::Answer::yes) {
    view.close_dialog(0);
    return;
  }
  view.set_wait_cursor(true);
  const int result = a_.readdress();
  view.set_wait_cursor(false);
  if (result == 0) {
    readdressed_ = true;
    view.close_dialog(1);
    return;
  }
  view.warn(t::caption_error, result == -3 ? t::readdress_no_free_host : t::readdress_failed);
  view.close_dialog(0);
}

void ParameterDialog::on_click(ui::DialogView& view, int id) {
  if (id >= tcp_radio && id <= atcp_radio) {
    view.show(upload_button, active_upload(id - tcp_radio));
    return;
  }
  switch (id) {
    case defaults_button: set_defaults(view); break;
    case upload_button: edit_upload_parameters(view); break;
    case wireless_button: edit_wireless_parameters(view); break;
    case ok_button: s_.remote_mode ? confirm_remote(view) : confirm(view); break;
    case leave_button: view.close_dialog(0); break;
    default: break;
  }
}

void ParameterDialog::set_defaults(ui::DialogView& view) const {
  for (int id : {ip_edit, gateway_edit, mask_edit}) view.set_text(id, "0.0.0.0");
  view.set_text(port_edit, std::to_string(netenv::network_write_port));
  view.set_text(baud_edit, std::to_string(discovery::baud_rate(netenv::network_write_baud_index)));
  for (int mode = 0; mode < 5; ++mode) view.set_checked(mode_radio(mode), mode == discovery::tcp);
  view.show(upload_button, false);
}

platform::Ipv4Address ParameterDialog::local_ip() const {
  const netenv::AddressEntry* entry = discovery::subnet_entry(s_.row, s_.adapters);
  return entry ? entry->ip : platform::Ipv4Address{};
}

void ParameterDialog::edit_upload_parameters(ui::DialogView& view) {
  if (s_.remote_mode) view.show_message(t::caption_notice, t::remote_upload_hint, ui::Icon::warning, ui::Buttons::ok);
  ActiveUploadDialog dialog(s_.pending, s_.row, local_ip(), a_.upload_defaults);
  a_.run_dialog(dialog);
}

void ParameterDialog::edit_wireless_parameters(ui::DialogView& view) {
  if (!wireless_read_) {
    view.set_wait_cursor(true);
    const int result = a_.read_wireless();
    view.set_wait_cursor(false);
    if (result != 0) {
      view.warn(t::caption_error, t::wireless_read_failed);
      return;
    }
    wireless_read_ = true;
    s_.wireless_backup = s_.wireless.as_read;
  }
  WirelessDialog dialog(s_.wireless.edited);
  if (a_.run_dialog(dialog) != 0) {
    s_.wireless_backup = s_.wireless.edited;
  } else {
    s_.wireless.edited = s_.wireless_backup;
  }
}

bool ParameterDialog::refuse(ui::DialogView& view, int field, const std::string& message) const {
  view.warn(t::caption_error, message);
  view.focus(field);
  return false;
}

bool ParameterDialog::read_address(ui::DialogView& view, int field, bool is_gateway, platform::Ipv4Address& address) {
  platform::Ipv4Address read;
  const int code = read_address_field(view.text(field), read);
  if (code == address_structure_error) return refuse(view, field, t::ip_structure_error);
  if (code == address_not_convertible) return refuse(view, field, t::ip_input_error);
  const netenv::AddressCheck check{s_.adapters, s_.row.ip, view, a_.main_window, a_.probe_address_in_use};
  if (netenv::check_address(check, read, is_gateway) != 0) {
    view.focus(field);
    return false;
  }
  address = read;
  return true;
}

bool ParameterDialog::read_network_fields(ui::DialogView& view) {
  netenv::PendingParameters& p = s_.pending;
  if (!read_address(view, ip_edit, false, p.new_module_ip)) return false;
  if (!read_address(view, gateway_edit, true, p.new_gateway)) return false;
  const long port = read_number(first_chars(view.text(port_edit), number_field_chars), false);
  if (port < min_port || port > max_port) return refuse(view, port_edit, t::port_range);
  p.port = static_cast<std::uint16_t>(port);
  if (netenv::host_bits_from_mask_text(view.text(mask_edit), p) < 0) return refuse(view, mask_edit, t::mask_error);
  const long baud = read_number(first_chars(view.text(baud_edit), number_field_chars), false);
  for (int code = 0; code < baud_codes; ++code) {
    if (discovery::baud_rate(code) == baud) p.baud_index = static_cast<std::uint8_t>(code);
  }
  return true;
}

void ParameterDialog::read_work_mode(ui::DialogView& view) {
  for (int mode = 0; mode < 5; ++mode) {
    if (view.checked(tcp_radio + mode)) {
      s_.pending.work_mode = mode;
      return;
    }
  }
}

bool ParameterDialog::needs_upload_visit(ui::DialogView& view) {
  if (!active_upload(s_.pending.work_mode) || s_.pending.active_upload_confirmed) return false;
  remind_upload_parameters(view, a_.clock, upload_button);
  return true;
}

void ParameterDialog::confirm(ui::DialogView& view) {
  if (!read_network_fields(view)) return;
  read_work_mode(view);
  const bool wireless_changed = s_.row.wireless && s_.wireless.edited != s_.wireless.as_read;
  if (needs_upload_visit(view)) return;
  if (discovery::parameters_unchanged(s_.pending, s_.row, wireless_changed, false) == 0) {
    view.show_message(t::caption_notice, t::nothing_changed, ui::Icon::warning, ui::Buttons::ok);
    return;
  }
  const netenv::PendingParameters& p = s_.pending;
  switch (check_gateway(view, s_.adapters, p.new_module_ip, p.new_gateway, p.host_bits)) {
    case GatewayVerdict::go_on: break;
    case GatewayVerdict::refuse_at_ip: view.focus(ip_edit); return;
    case GatewayVerdict::refuse_at_gateway: view.focus(gateway_edit); return;
    case GatewayVerdict::refuse_at_mask: view.focus(mask_edit); return;
    case GatewayVerdict::refuse_in_place: return;
  }
  if (s_.row.wireless && wireless_changed) {
    if (view.show_message(t::caption_notice, t::wireless_confirm, ui::Icon::warning, ui::Buttons::yes_no) != ui::Answer::yes)
      return;
    view.set_wait_cursor(true);
    const int result = a_.write_wireless();
    view.set_wait_cursor(false);
    if (result != 0) {
      view.show_message(t::caption_notice, t::wireless_write_failed, ui::Icon::warning, ui::Buttons::yes_no);
      return;
    }
  } else if (view.show_message(t::caption_notice, t::confirm_change, ui::Icon::warning, ui::Buttons::yes_no) !=
             ui::Answer::yes) {
    return;
  }
  view.close_dialog(1);
}

void ParameterDialog::confirm_remote(ui::DialogView& view) {
  read_work_mode(view);
  if (discovery::parameters_unchanged(s_.pending, s_.row, false, true) == 0) {
    view.show_message(t::caption_notice, t::nothing_changed, ui::Icon::warning, ui::Buttons::ok);
    return;
  }
  if (needs_upload_visit(view)) return;
  if (view.show_message(t::caption_notice, t::confirm_remote_change, ui::Icon::warning, ui::Buttons::yes_no) !=
      ui::Answer::yes)
    return;
  view.set_wait_cursor(true);
  const int result = a_.write_remote();
  view.set_wait_cursor(false);
  if (result < 0) {
    view.show_message(t::caption_notice, t::remote_write_failed, ui::Icon::warning, ui::Buttons::ok);
    view.close_dialog(0);
    return;
  }
  view.show_message(t::caption_notice, t::remote_write_done, ui::Icon::warning, ui::Buttons::ok);
  view.close_dialog(1);
}

}  // namespace config
