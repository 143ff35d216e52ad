#include "config/work_mode_dialog.h"

#include <string>

#include "ui/texts.h"

namespace config {
namespace {

namespace t = ui::texts;

constexpr int offered_modes = 3;  // TCP, UDP and SNMP

}  // namespace

WorkModeDialog::WorkModeDialog(int& selected_work_mode, std::function<void()> clear_module_view)
    : selected_work_mode_(selected_work_mode), clear_module_view_(std::move(clear_module_view)) {}

const ui::DialogTable& WorkModeDialog::table() const {
  using ui::ControlKind;
  static const ui::DialogTable dialog = [] {
    ui::DialogTable table{t::work_mode_title, {{mode_group, ControlKind::group, t::work_mode_group, 0, 0}}};
    for (int mode = 0; mode < 5; ++mode)
      table.controls.push_back({tcp_radio + mode, ControlKind::radio, t::mode_radio[mode], 0, 0, mode_group});
    table.controls.push_back({ok_button, ControlKind::button, t::parameter_ok});
    table.controls.push_back({leave_button, ControlKind::button, t::parameter_leave});
    return table;
  }();
  return dialog;
}

void WorkModeDialog::on_open(ui::DialogView& view) {
  for (int id = tcp_radio + offered_modes; id <= atcp_radio; ++id) {
    view.show(id, false);
    view.enable(id, false);
  }
  view.show_message(t::caption_notice, t::work_mode_warning, ui::Icon::warning, ui::Buttons::ok);
  for (int mode = 0; mode < offered_modes; ++mode) view.set_checked(tcp_radio + mode, mode == selected_work_mode_);
  view.focus(ok_button);
}

void WorkModeDialog::on_click(ui::DialogView& view, int id) {
  if (id == leave_button) {
    view.close_dialog(0);
    return;
  }
  if (id != ok_button) return;
  clear_module_view_();
  for (int mode = 0; mode < offered_modes; ++mode) {
    if (view.checked(tcp_radio + mode)) {
      selected_work_mode_ = mode;
      break;
    }
  }
  const int shown = selected_work_mode_ == 0 || selected_work_mode_ == 1 ? selected_work_mode_ : 2;
  view.show_message(t::caption_notice, std::string(t::work_mode_chosen) + t::work_mode_names[shown] + t::work_mode_try,
                    ui::Icon::warning, ui::Buttons::ok);
  view.close_dialog(1);
}

}  // namespace config
