#pragma once
// The module repair dialog: the operator types the last three bytes of the module's MAC
// (the first three are always 00-20-4A), confirms them, and the repair runs.
#include <functional>
#include <string>

#include "maint/address_assignment.h"
#include "ui/dialog.h"

namespace maint {

// Runs the repair for the typed MAC tail and returns repair_module's code.
using RepairByMac = std::function<int(MacTail tail)>;

// The byte that a field's first two characters give as hexadecimal digits; false when
// there are fewer than two or either is not a hexadecimal digit.
bool parse_mac_byte(const std::string& field, std::uint8_t& byte);

// The message the operator sees for a failed repair.
const char* repair_failure_text(int code);

class ModuleRepairDialog : public ui::DialogLogic {
 public:
  enum Control {
    note_head = 1,
    note_purpose,
    note_hardware,
    note_condition1,
    note_condition2,
    note_condition3,
    note_service,
    mac_prompt,
    byte4_edit,
    byte5_edit,
    byte6_edit,
    confirm_button,
    leave_button,
  };

  explicit ModuleRepairDialog(RepairByMac repair) : repair_(std::move(repair)) {}

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  void confirm(ui::DialogView& view);

  RepairByMac repair_;
};

}  // namespace maint
