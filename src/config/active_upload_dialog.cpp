#include "config/active_upload_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/dialog_fields.h"
#include "ui/texts.h"

namespace config {
namespace {

namespace t = ui::texts;

constexpr std::size_t port_field_chars = 9;
constexpr std::size_t domain_field_chars = 40;
constexpr std::size_t code_field_chars = 5;
constexpr std::size_t code_digits = 4;
constexpr long min_server_port = 1000;
constexpr long max_server_port = 65533;
constexpr long max_interval_code = 255;

std::string hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

std::string name_text(const char* bytes, std::size_t size) { return std::string(bytes, strnlen(bytes, size)); }

}  // namespace

ActiveUploadDialog::ActiveUploadDialog(netenv::PendingParameters& pending, const discovery::ModuleRow& row,
                                       platform::Ipv4Address local_ip, UploadDefaults defaults)
    : pending_(pending), row_(row), local_ip_(local_ip), defaults_(std::move(defaults)) {}

const ui::DialogTable& ActiveUploadDialog::table() const {
  using ui::ControlKind;
  static const ui::DialogTable dialog{
      t::upload_title,
      {
          {type_group, ControlKind::group, t::upload_type_group, 0, 0},
          {ip_mode_radio, ControlKind::radio, t::upload_ip_mode, 0, 0, type_group},
          {name_mode_radio, ControlKind::radio, t::upload_name_mode, 0, 0, type_group},
          {server_ip_edit, ControlKind::edit, t::upload_server_ip, 1, 0},
          {dns_ip_edit, ControlKind::edit, t::upload_dns_ip, 2, 0},
          {domain_edit, ControlKind::edit, t::upload_domain, 3, 0},
          {port_edit, ControlKind::edit, t::upload_port, 4, 0},
          {module_code_edit, ControlKind::edit, t::upload_module_code, 5, 0, 0, t::upload_module_code_hint},
          {interval_edit, ControlKind::edit, t::upload_interval, 6, 0, 0, t::upload_interval_hint},
          {ok_button, ControlKind::button, t::upload_ok},
          {leave_button, ControlKind::button, t::upload_leave},
          {defaults_button, ControlKind::button, t::upload_defaults},
      }};
  return dialog;
}

void ActiveUploadDialog::on_open(ui::DialogView& view) {
  if (pending_.active_upload_confirmed) {
    view.set_text(server_ip_edit, pending_.server_ip.dotted());
    view.set_text(dns_ip_edit, pending_.dns_ip.dotted());
    view.set_text(domain_edit, name_text(reinterpret_cast<const char*>(pending_.server_name.data()),
                                         pending_.server_name.size()));
    view.set_text(port_edit, std::to_string(pending_.server_port));
    view.set_text(module_code_edit, hex4(pending_.module_code));
    view.set_text(interval_edit, std::to_string(pending_.upload_interval));
    set_server_type(view, pending_.server_by_name);
    return;
  }
  view.set_text(server_ip_edit, row_.server_ip.dotted());
  view.set_text(dns_ip_edit, row_.dns_ip.dotted());
  view.set_text(domain_edit, name_text(row_.server_name.data(), row_.server_name.size()));
  view.set_text(port_edit, std::to_string(row_.server_port));
  view.set_text(module_code_edit, hex4(row_.module_code));
  view.set_text(interval_edit, std::to_string(row_.upload_interval));
  set_server_type(view, row_.server_by_name == netenv::server_by_name_marker);
}

void ActiveUploadDialog::set_server_type(ui::DialogView& view, bool by_name) const {
  const bool name_mode_known = row_.firmware_level > name_mode_firmware_level;
  if (!name_mode_known) by_name = false;
  view.enable(name_mode_radio, name_mode_known);
  view.set_checked(name_mode_radio, by_name);
  view.set_checked(ip_mode_radio, !by_name);
  view.enable(dns_ip_edit, by_name);
  view.enable(domain_edit, by_name);
  view.enable(server_ip_edit, !by_name);
}

void ActiveUploadDialog::on_click(ui::DialogView& view, int id) {
  switch (id) {
    case ip_mode_radio:
    case name_mode_radio: set_server_type(view, !view.checked(ip_mode_radio)); break;
    case defaults_button:
      set_server_type(view, false);
      view.set_text(server_ip_edit, local_ip_.dotted());
      view.set_text(dns_ip_edit, defaults_.dns_ip);
      view.set_text(domain_edit, defaults_.server_domain);
      view.set_text(port_edit, std::to_string(defaults_.server_port));
      view.set_text(module_code_edit, "0000");
      view.set_text(interval_edit, "0");
      break;
    case ok_button: confirm(view); break;
    case leave_button: view.close_dialog(0); break;
    default: break;
  }
}

bool ActiveUploadDialog::refuse(ui::DialogView& view, int field, const char* message) const {
  view.warn(t::caption_error, message);
  view.focus(field);
  return false;
}

bool ActiveUploadDialog::read_address(ui::DialogView& view, int field, const char* zero_message,
                                      platform::Ipv4Address& address) const {
  platform::Ipv4Address read;
  const int code = read_address_field(view.text(field), read);
  if (code == address_structure_error) return refuse(view, field, t::ip_structure_error);
  if (code == address_not_convertible) return refuse(view, field, t::ip_input_error);
  if (read.is_zero()) return refuse(view, field, zero_message);
  address = read;
  return true;
}

void ActiveUploadDialog::confirm(ui::DialogView& view) {
  // Everything is checked on a copy: a refused field leaves the Pending parameter set as it was.
  netenv::PendingParameters next = pending_;
  next.server_by_name = !view.checked(ip_mode_radio);
  if (!next.server_by_name) {
    if (!read_address(view, server_ip_edit, t::upload_server_ip_zero, next.server_ip)) return;
  } else {
    if (!read_address(view, dns_ip_edit, t::upload_dns_ip_zero, next.dns_ip)) return;
    const std::string name = first_chars(view.text(domain_edit), domain_field_chars);
    if (name.empty() || name.size() >= domain_field_chars) {
      view.show_message(t::caption_notice, t::upload_domain_length, ui::Icon::warning, ui::Buttons::ok);
      view.focus(domain_edit);
      return;
    }
    next.server_name.fill(0);
    std::copy(name.begin(), name.end(), next.server_name.begin());
  }

  const long port = read_number(first_chars(view.text(port_edit), port_field_chars), false);
  if (port < min_server_port || port > max_server_port) {
    refuse(view, port_edit, t::upload_port_range);
    return;
  }
  next.server_port = static_cast<std::uint16_t>(port);

  const std::string code = first_chars(view.text(module_code_edit), code_field_chars);
  const char* code_message = nullptr;
  if (code.size() != code_digits) {
    code_message = t::upload_code_length;
  } else if (!std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isxdigit(c); })) {
    code_message = t::upload_code_characters;
  }
  if (code_message) {
    view.show_message(t::caption_notice, code_message, ui::Icon::none, ui::Buttons::ok);
    view.focus(module_code_edit);
    return;
  }
  next.module_code = static_cast<std::uint16_t>(std::stoul(code, nullptr, 16));

  const long interval = read_number(view.text(interval_edit), false);
  if (interval > max_interval_code) {
    refuse(view, interval_edit, t::upload_interval_range);
    return;
  }
  next.upload_interval = static_cast<std::uint8_t>(interval);

  next.active_upload_confirmed = true;
  pending_ = next;
  view.close_dialog(1);
}

}  // namespace config
