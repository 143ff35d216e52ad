#include "maint/remote_test_dialog.h"

#include <cstdio>

#include "config/dialog_fields.h"
#include "netenv/address_checks.h"
#include "tools/external_address_lookup.h"
#include "tools/icmp_probe.h"
#include "ui/texts.h"
#include "ui/wait_cursor.h"

namespace maint {

namespace t = ui::texts;

RemoteTestDialog::RemoteTestDialog(RemoteTestSubject subject, RemoteTestActions actions)
    : s_(subject), a_(std::move(actions)) {}

const ui::DialogTable& RemoteTestDialog::table() const {
  using ui::ControlKind;
  static const ui::DialogTable dialog{t::remote_title,
                                      {
                                          {address_edit, ControlKind::edit, t::remote_address_label, 0, 0},
                                          {ok_button, ControlKind::button, t::remote_ok},
                                          {leave_button, ControlKind::button, t::remote_leave},
                                      }};
  return dialog;
}

void RemoteTestDialog::on_open(ui::DialogView& view) {
  s_.set_by_hand = false;
  view.set_text(address_edit, s_.remote_ip.dotted());
  view.focus(address_edit);
}

void RemoteTestDialog::on_click(ui::DialogView& view, int id) {
  if (id == ok_button) confirm(view);
  if (id == leave_button) view.close_dialog(0);
}

bool RemoteTestDialog::refuse(ui::DialogView& view, const char* message) {
  view.show_message(t::caption_error, message, ui::Icon::warning, ui::Buttons::ok);
  view.focus(address_edit);
  return false;
}

bool RemoteTestDialog::abandoned(ui::DialogView& view) {
  if (!a_.cancelled()) return false;
  view.close_dialog(0);
  return true;
}

bool RemoteTestDialog::read_address(ui::DialogView& view, platform::Ipv4Address& ip) {
  const int read = config::read_address_field(view.text(address_edit), ip);
  if (read == config::address_structure_error) return refuse(view, t::ip_structure_error);
  if (read != 0 || ip.is_zero()) return refuse(view, t::ip_input_error);
  // The gateway form: no module address of the Module table to keep, and no probe.
  const netenv::AddressCheck check{s_.adapters, {}, view, a_.main_window, a_.probe_address_in_use};
  if (netenv::check_address(check, ip, true) != 0) {
    view.focus(address_edit);
    return false;
  }
  return true;
}

int RemoteTestDialog::reachable(ui::DialogView& view, platform::Ipv4Address ip) {
  ui::WaitCursor wait(view);
  if (a_.probe_address_in_use(ip) == 1) return 1;
  const int replies = a_.remote_echo_probe(ip);
  if (replies == tools::echo_not_permitted) return -1;
  return replies >= 1 ? 1 : 0;
}

void RemoteTestDialog::confirm(ui::DialogView& view) {
  platform::Ipv4Address ip;
  if (!read_address(view, ip)) return;
  s_.remote_ip = ip;
  const int answered = reachable(view, ip);
  if (abandoned(view)) return;
  if (answered == 0) {
    refuse(view, t::remote_not_detected);
    return;
  }
  // Without the right to probe, the queries alone tell whether a module is there.
  view.show_message(t::caption_notice, answered == 1 ? t::remote_detected : t::remote_raw_right_missing,
                    answered == 1 ? ui::Icon::information : ui::Icon::warning, ui::Buttons::ok);

  int code;
  {
    ui::WaitCursor wait(view);
    code = a_.lookup_external_addresses();
  }
  if (abandoned(view)) return;
  if (code != 0) {
    char text[160];
    std::snprintf(text, sizeof text, t::server_lookup_failed, code);
    view.show_message(t::caption_notice, text, ui::Icon::warning, ui::Buttons::ok);
    // No service answering is a LAN without Internet, this tool's usual place: the module
    // is still read, and the external address stays unknown.
    if (code != tools::lookup_nothing_resolved) {
      view.close_dialog(0);
      return;
    }
  }

  {
    ui::WaitCursor wait(view);
    code = a_.read_remote_module();
  }
  if (abandoned(view)) return;
  if (code == 0) {
    s_.set_by_hand = false;
    view.show_message(t::caption_notice, t::remote_read_done, ui::Icon::information, ui::Buttons::ok);
    view.close_dialog(1);
    return;
  }
  if (view.show_message(t::caption_notice, t::remote_read_failed_question, ui::Icon::warning, ui::Buttons::yes_no) !=
      ui::Answer::yes)
    return;
  s_.set_by_hand = true;
  if (a_.choose_work_mode() != 1) {
    view.close_dialog(0);
    return;
  }
  a_.set_remote_module_by_hand();
  view.close_dialog(1);
}

}  // namespace maint
