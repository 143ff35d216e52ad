#pragma once
// A MainView without a display: lists are vectors, message boxes are recorded and
// answered from a queue (OK/Yes by default), button states are kept in maps.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/select_socket_watcher.h"
#include "ui/main_view.h"

namespace test {

// A state as last set, or `unset` when nothing set it.
template <class Key, class Value>
Value value_or(const std::map<Key, Value>& states, Key key, Value unset) {
  auto it = states.find(key);
  return it == states.end() ? unset : it->second;
}

struct ShownMessage {
  std::string caption;
  std::string text;
  ui::Icon icon;
  ui::Buttons buttons;
};

// Message boxes as a test sees them: each one recorded, answered from a queue (OK or Yes
// once the queue is empty).
struct MessageScript {
  std::deque<ui::Answer> answers;
  std::vector<ShownMessage> messages;

  ui::Answer answer(ShownMessage shown);
  // The text of every box shown so far, in order.
  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const ShownMessage& m : messages) all.push_back(m.text);
    return all;
  }
};

class ScriptedView : public ui::MainView, public MessageScript {
 public:
  ui::Answer show_message(const std::string& caption, const std::string& text, ui::Icon icon,
                          ui::Buttons buttons) override;

  void list_clear(ui::ListId list) override;
  void list_add(ui::ListId list, const std::string& line) override;
  void list_replace(ui::ListId list, int index, const std::string& line) override;
  int list_count(ui::ListId list) const override;
  std::string list_line(ui::ListId list, int index) const override;
  void list_select(ui::ListId list, int index) override;
  bool list_selection(ui::ListId list, std::vector<int>& selected) const override;
  int list_top_index(ui::ListId list) const override { return value_or(top_index_, list, 0); }
  void list_set_top_index(ui::ListId list, int index) override { top_index_[list] = index; }

  void button_enable(ui::ButtonId button, bool enabled) override { enabled_[button] = enabled; }
  void button_show(ui::ButtonId button, bool shown) override { shown_[button] = shown; }
  void button_caption(ui::ButtonId button, const std::string& caption) override { captions_[button] = caption; }
  bool button_enabled(ui::ButtonId button) const override { return value_or(enabled_, button, false); }

  void set_wait_cursor(bool waiting) override { wait_depth_ += waiting ? 1 : -1; }
  void repaint() override {}
  void beep() override {}
  void timer_start(int period_ms) override { timer_period_ms_ = period_ms; }
  void timer_stop() override { timer_period_ms_ = -1; }
  void close_window() override { closed_ = true; }
  int screen_width() const override { return screen_width_px; }
  // Runs the dialog through the test's handler (set dialog_handler); 0 when there is none.
  int run_dialog(ui::DialogLogic& dialog) override { return dialog_handler ? dialog_handler(dialog) : 0; }
  ui::SocketWatcher& socket_watcher() override { return watcher; }

  // Test side.
  std::vector<std::string>& lines(ui::ListId list) { return list == ui::ListId::modules ? modules_ : data_; }
  bool shown(ui::ButtonId button) const { return value_or(shown_, button, true); }
  std::string caption(ui::ButtonId button) const { return value_or(captions_, button, std::string()); }
  int timer_period_ms() const { return timer_period_ms_; }
  int wait_depth() const { return wait_depth_; }
  bool closed() const { return closed_; }
  std::vector<int> selection;
  int screen_width_px = 1920;
  std::function<int(ui::DialogLogic&)> dialog_handler;
  SelectSocketWatcher watcher;

 private:
  const std::vector<std::string>& lines(ui::ListId list) const { return list == ui::ListId::modules ? modules_ : data_; }

  std::vector<std::string> modules_, data_;
  std::map<ui::ListId, int> top_index_;
  std::map<ui::ButtonId, bool> enabled_, shown_;
  std::map<ui::ButtonId, std::string> captions_;
  int wait_depth_ = 0, timer_period_ms_ = -1;
  bool closed_ = false;
};

}  // namespace test
