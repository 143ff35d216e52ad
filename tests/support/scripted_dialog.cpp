#include "support/scripted_dialog.h"

namespace test {

ScriptedDialog::ScriptedDialog(ui::DialogLogic& logic) : logic_(logic) {}

bool ScriptedDialog::open() {
  logic_.on_open(*this);
  return !closed();
}

const ui::ControlEntry* ScriptedDialog::control(int id) const {
  for (const ui::ControlEntry& c : logic_.table().controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

void ScriptedDialog::click(int id) {
  const ui::ControlEntry* c = control(id);
  if (!c || !enabled(id) || !shown(id) || closed()) return;
  if (c->kind == ui::ControlKind::check_box) set_checked(id, !checked(id));
  if (c->kind == ui::ControlKind::radio) set_checked(id, true);
  logic_.on_click(*this, id);
}

void ScriptedDialog::set_checked(int id, bool checked) {
  const ui::ControlEntry* c = control(id);
  // Ticking a radio button unticks the others of its group, as on screen.
  if (checked && c && c->kind == ui::ControlKind::radio) {
    for (const ui::ControlEntry& other : logic_.table().controls) {
      if (other.kind == ui::ControlKind::radio && other.group == c->group) checked_[other.id] = false;
    }
  }
  checked_[id] = checked;
}

}  // namespace test
