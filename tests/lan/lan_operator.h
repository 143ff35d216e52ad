#pragma once
// The operator at the program inside the PC's namespace of a virtual LAN: the scripted
// program on the system's clock, driven by the commands and dialogs the operator uses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "config/parameter_dialog.h"
#include "config/wireless_dialog.h"
#include "maint/module_repair.h"
#include "maint/module_repair_dialog.h"
#include "support/scripted_dialog.h"
#include "support/scripted_program.h"

namespace test {

// The system's clock, but the 9 s waits for a module's restart (after a write, and inside
// the re-addressing) last 4 s: the emulator restarts within 1 s, and the kernel's unanswered
// resolution of a candidate address, just before an assignment, takes 3 s to end.
class ShortPauseClock : public platform::SystemWaitClock {
 public:
  static_assert(app::after_write_pause_ms == maint::restart_wait_ms);
  std::vector<int> sleeps_ms;
  bool sleep_ms(int milliseconds) override {
    sleeps_ms.push_back(milliseconds);
    return SystemWaitClock::sleep_ms(milliseconds == app::after_write_pause_ms ? 4000 : milliseconds);
  }
};

struct LanOperator {
  using Fill = std::function<void(ScriptedDialog&)>;

  ShortPauseClock clock;
  ScriptedProgram p{{}, &clock};
  // Every message box of the last command, its dialogs' and the window's, in order.
  std::vector<std::string> seen;
  std::string ssid_shown;  // what the wireless dialog showed when it opened

  LanOperator() { EXPECT_TRUE(p.window.create()); }

  const std::vector<std::string>& search() {
    p.window.on_command(ui::ButtonId::search);
    return p.view.lines(ui::ListId::modules);
  }
  // The module line whose row has the address ending in `host`, or -1.
  int line_of(int host) const {
    const discovery::ModuleTable& m = p.context.modules;
    for (int k = 0; k < m.shown_count; ++k) {
      if (m.rows[static_cast<std::size_t>(m.display_order[static_cast<std::size_t>(k)])].ip.octet(3) == host)
        return k;
    }
    return -1;
  }
  discovery::ModuleRow& row(int line) {
    return p.context.modules.rows[static_cast<std::size_t>(p.context.modules.display_order[static_cast<std::size_t>(line)])];
  }

  // Command 106 on module line `line`: `fill` edits the parameter dialog, then OK unless it
  // closed it (Leave if it stays open); a wireless dialog gets `wireless` and its OK.
  void parameter_settings(int line, const Fill& fill, const Fill& wireless = nullptr) {
    using D = config::ParameterDialog;
    p.view.selection = {line};
    run([&](ui::DialogLogic& logic, ScriptedDialog& v) {
      if (dynamic_cast<config::WirelessDialog*>(&logic)) {
        v.open();
        ssid_shown = v.text(config::WirelessDialog::ssid_edit);
        if (wireless) wireless(v);
        v.click(config::WirelessDialog::ok_button);
        return;
      }
      if (!v.open()) return;
      fill(v);
      if (!v.closed()) v.click(D::ok_button);
      if (!v.closed()) v.click(D::leave_button);
    }, ui::ButtonId::parameter_settings);
  }
  // Command 112 with the MAC ending in `tail` (as typed: "d0", "00", "0b") confirmed.
  void repair(const std::vector<std::string>& tail) {
    using R = maint::ModuleRepairDialog;
    run([&](ui::DialogLogic&, ScriptedDialog& v) {
      v.open();
      v.type(R::byte4_edit, tail.at(0));
      v.type(R::byte5_edit, tail.at(1));
      v.type(R::byte6_edit, tail.at(2));
      v.click(R::confirm_button);
      // The confirmation question, answered OK, is not what this records.
      if (!v.messages.empty()) v.messages.erase(v.messages.begin());
    }, ui::ButtonId::module_repair);
  }

 private:
  void run(const std::function<void(ui::DialogLogic&, ScriptedDialog&)>& answer, ui::ButtonId command) {
    seen.clear();
    ssid_shown.clear();
    p.view.messages.clear();
    p.view.dialog_handler = [&](ui::DialogLogic& logic) {
      ScriptedDialog v(logic);
      answer(logic, v);
      for (const ShownMessage& m : v.messages) seen.push_back(m.text);
      return v.result();
    };
    p.window.on_command(command);
    for (const ShownMessage& m : p.view.messages) seen.push_back(m.text);
  }
};

}  // namespace test
