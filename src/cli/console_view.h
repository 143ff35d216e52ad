#pragma once
// The window seam without a window: the two lists are kept as lines (the command-line
// program prints them or the records behind them), message boxes become one line on the
// error stream, and the socket watcher is a poll() loop.
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/main_view.h"

namespace cli {

class PollSocketWatcher : public ui::SocketWatcher {
 public:
  void watch(int fd, std::function<void(int fd)> on_readable) override { handlers_[fd] = std::move(on_readable); }
  void unwatch(int fd) override { handlers_.erase(fd); }
  // Waits up to timeout_ms and runs the handlers of the readable sockets; false, with
  // nothing run, when stop_fd became readable.
  bool dispatch(int timeout_ms, int stop_fd);

 private:
  std::map<int, std::function<void(int fd)>> handlers_;
};

class ConsoleView : public ui::MainView {
 public:
  explicit ConsoleView(std::FILE* errors) : errors_(errors) {}

  // Called with each line added to a list.
  std::function<void(ui::ListId list, const std::string& line)> on_line_added;
  const std::vector<std::string>& lines(ui::ListId list) const { return list == ui::ListId::modules ? modules_ : data_; }
  int messages_shown() const { return messages_shown_; }

  ui::Answer show_message(const std::string& caption, const std::string& text, ui::Icon icon,
                          ui::Buttons buttons) override;

  void list_clear(ui::ListId list) override { lines_of(list).clear(); }
  void list_add(ui::ListId list, const std::string& line) override;
  void list_replace(ui::ListId list, int index, const std::string& line) override;
  int list_count(ui::ListId list) const override { return static_cast<int>(lines(list).size()); }
  std::string list_line(ui::ListId list, int index) const override;
  void list_select(ui::ListId, int) override {}
  bool list_selection(ui::ListId, std::vector<int>& selected) const override {
    selected.clear();
    return true;
  }
  int list_top_index(ui::ListId) const override { return 0; }
  void list_set_top_index(ui::ListId, int) override {}

  void button_enable(ui::ButtonId, bool) override {}
  void button_show(ui::ButtonId, bool) override {}
  void button_caption(ui::ButtonId, const std::string&) override {}
  bool button_enabled(ui::ButtonId) const override { return false; }
  void set_wait_cursor(bool) override {}
  void repaint() override {}
  void beep() override {}
  void timer_start(int) override {}
  void timer_stop() override {}
  void close_window() override {}
  int screen_width() const override { return 1 << 16; }  // no screen to be too narrow
  int run_dialog(ui::DialogLogic&) override { return 0; }  // nobody to answer a dialog
  ui::SocketWatcher& socket_watcher() override { return watcher; }

  PollSocketWatcher watcher;

 private:
  std::vector<std::string>& lines_of(ui::ListId list) { return list == ui::ListId::modules ? modules_ : data_; }

  std::FILE* errors_;
  std::vector<std::string> modules_;
  std::vector<std::string> data_;
  int messages_shown_ = 0;
};

}  // namespace cli
