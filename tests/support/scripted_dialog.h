#pragma once
// A DialogView without a display: controls are entries in maps, message boxes are recorded
// and answered from a queue. A test opens a dialog logic, sets fields, clicks, and reads
// the result.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/scripted_view.h"
#include "ui/dialog.h"

namespace test {

class ScriptedDialog : public ui::DialogView, public MessageScript {
 public:
  explicit ScriptedDialog(ui::DialogLogic& logic);

  // Runs the logic's opening; false when it closed the dialog at once.
  bool open();
  // Clicks a button, check box or radio button as the operator would: a disabled or
  // hidden control does nothing; a check box toggles, a radio button becomes ticked.
  void click(int id);
  // Types into an edit field as the operator would: the logic hears of the edit.
  void type(int id, const std::string& text) {
    texts_[id] = text;
    logic_.on_edit(*this, id);
  }
  void close_box() { logic_.on_close_request(*this); }

  bool closed() const { return result_.has_value(); }
  int result() const { return result_.value_or(-1); }
  bool shown(int id) const { return value_or(shown_, id, true); }
  int focused() const { return focused_; }

  ui::Answer show_message(const std::string& caption, const std::string& text, ui::Icon icon,
                          ui::Buttons buttons) override {
    return answer({caption, text, icon, buttons});
  }
  std::string text(int id) const override { return value_or(texts_, id, std::string()); }
  void set_text(int id, const std::string& text) override { texts_[id] = text; }
  bool checked(int id) const override { return value_or(checked_, id, false); }
  void set_checked(int id, bool checked) override;
  bool enabled(int id) const override { return value_or(enabled_, id, true); }
  void enable(int id, bool enabled) override { enabled_[id] = enabled; }
  void show(int id, bool shown) override { shown_[id] = shown; }
  void focus(int id) override { focused_ = id; }
  void set_wait_cursor(bool) override {}
  void close_dialog(int result) override { result_ = result; }

 private:
  const ui::ControlEntry* control(int id) const;

  ui::DialogLogic& logic_;
  std::map<int, std::string> texts_;
  std::map<int, bool> checked_, enabled_, shown_;
  std::optional<int> result_;
  int focused_ = 0;
};

}  // namespace test
