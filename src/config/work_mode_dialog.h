#pragma once
// The work-mode dialog: the operator tells how to talk to a remote module whose parameters
// could not be read (TCP, UDP or SNMP). It shows the program-wide selected work mode and
// stores the choice there; OK empties the main window's module view first.
#include <functional>

#include "ui/dialog.h"

namespace config {

class WorkModeDialog : public ui::DialogLogic {
 public:
  enum Control {
    mode_group = 1,
    tcp_radio,  // TCP, UDP, SNMP, AUDP, ATCP in work-mode order; the last two stay hidden
    atcp_radio = tcp_radio + 4,
    ok_button,
    leave_button,
  };

  WorkModeDialog(int& selected_work_mode, std::function<void()> clear_module_view);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  int& selected_work_mode_;
  std::function<void()> clear_module_view_;
};

}  // namespace config
