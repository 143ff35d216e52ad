#include "maint/module_repair_dialog.h"

#include <array>
#include <cstdio>

#include "maint/module_repair.h"
#include "ui/texts.h"

namespace maint {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool parse_mac_byte(const std::string& field, std::uint8_t& byte) {
  if (field.size() < 2) return false;
  const int high = hex_value(field[0]);
  const int low = hex_value(field[1]);
  if (high < 0 || low < 0) return false;
  byte = static_cast<std::uint8_t>(high * 16 + low);
  return true;
}

const char* repair_failure_text(int code) {
  namespace t = ui::texts;
  switch (code) {
    case repair_not_found: return t::repair_module_missing;
    case repair_setup_failed: return t::repair_setup_failed;
    case repair_no_free_address: return t::repair_no_free_address;
    default: return t::repair_network_error;
  }
}

const ui::DialogTable& ModuleRepairDialog::table() const {
  using ui::ControlKind;
  namespace t = ui::texts;
  static const ui::DialogTable dialog{
      t::repair_title,
      {
          {note_head, ControlKind::label, t::repair_note_head, 0, 0},
          {note_purpose, ControlKind::label, t::repair_note_purpose, 1, 0},
          {note_hardware, ControlKind::label, t::repair_note_hardware, 2, 0},
          {note_condition1, ControlKind::label, t::repair_note_condition1, 3, 0},
          {note_condition2, ControlKind::label, t::repair_note_condition2, 4, 0},
          {note_condition3, ControlKind::label, t::repair_note_condition3, 5, 0},
          {note_service, ControlKind::label, t::repair_note_service, 6, 0},
          {mac_prompt, ControlKind::label, t::repair_mac_prompt, 7, 0},
          {byte4_edit, ControlKind::edit, t::repair_mac_prefix, 8, 0},
          {byte5_edit, ControlKind::edit, t::repair_mac_separator, 8, 1},
          {byte6_edit, ControlKind::edit, t::repair_mac_separator, 8, 2},
          {confirm_button, ControlKind::button, t::repair_confirm},
          {leave_button, ControlKind::button, t::repair_leave},
      }};
  return dialog;
}

void ModuleRepairDialog::on_open(ui::DialogView& view) { view.focus(byte4_edit); }

void ModuleRepairDialog::on_click(ui::DialogView& view, int id) {
  if (id == confirm_button) confirm(view);
  if (id == leave_button) view.close_dialog(0);
}

void ModuleRepairDialog::confirm(ui::DialogView& view) {
  namespace t = ui::texts;
  std::array<std::uint8_t, 3> mac{};
  const int fields[] = {byte4_edit, byte5_edit, byte6_edit};
  for (std::size_t i = 0; i < mac.size(); ++i) {
    if (!parse_mac_byte(view.text(fields[i]), mac[i])) {
      view.show_message(t::caption_error, t::repair_bad_character, ui::Icon::warning, ui::Buttons::ok);
      view.focus(fields[i]);
      return;
    }
  }
  char question[160];
  std::snprintf(question, sizeof question, t::repair_confirm_mac, mac[0], mac[1], mac[2]);
  if (view.show_message(t::caption_notice, question, ui::Icon::information, ui::Buttons::ok_cancel) !=
      ui::Answer::ok)
    return;
  view.set_wait_cursor(true);
  const int result = repair_(MacTail{mac[1], mac[2]});
  view.set_wait_cursor(false);
  if (result == 0) {
    view.close_dialog(1);
    return;
  }
  if (result == repair_cancelled) {
    view.close_dialog(0);
    return;
  }
  view.show_message(t::caption_notice, repair_failure_text(result), ui::Icon::information, ui::Buttons::ok);
  view.close_dialog(0);
}

}  // namespace maint
