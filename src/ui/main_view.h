#pragma once
// What the main-window logic asks of a window: two list boxes, eight buttons, the wait
// cursor, repaint, beep and the single polling timer. Implemented by the Qt window and by
// the scripted view of the tests.
#include <functional>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "ui/message_sink.h"
#include "ui/socket_watcher.h"
#include "ui/wait_cursor.h"

namespace ui {

enum class ListId { modules, data };

// Ids of the command buttons; the numbers are the command ids of the window.
enum class ButtonId {
  search = 101,
  basic_settings = 102,
  start = 103,
  stop = 104,
  exit = 105,
  parameter_settings = 106,
  module_repair = 112,
  remote_test = 113,
};

class MainView : public MessageSink {
 public:
  // Lists.
  virtual void list_clear(ListId list) = 0;
  virtual void list_add(ListId list, const std::string& line) = 0;
  virtual void list_replace(ListId list, int index, const std::string& line) = 0;  // delete then insert at index
  virtual int list_count(ListId list) const = 0;
  virtual std::string list_line(ListId list, int index) const = 0;
  virtual void list_select(ListId list, int index) = 0;
  // Selected indexes of the module list, in ascending order; false when it cannot report them.
  virtual bool list_selection(ListId list, std::vector<int>& selected) const = 0;
  virtual int list_top_index(ListId list) const = 0;
  virtual void list_set_top_index(ListId list, int index) = 0;

  // Buttons.
  virtual void button_enable(ButtonId button, bool enabled) = 0;
  virtual void button_show(ButtonId button, bool shown) = 0;
  virtual void button_caption(ButtonId button, const std::string& caption) = 0;
  virtual bool button_enabled(ButtonId button) const = 0;

  virtual void set_wait_cursor(bool waiting) = 0;
  virtual void repaint() = 0;
  virtual void beep() = 0;

  // The polling timer (the window's only timer): single-shot, re-armed by the logic.
  virtual void timer_start(int period_ms) = 0;
  virtual void timer_stop() = 0;

  // Closes the window, which runs the shut-down steps.
  virtual void close_window() = 0;

  // Width in pixels of the screen the window opens on.
  virtual int screen_width() const = 0;

  // Runs a dialog modally over the window and returns its result.
  virtual int run_dialog(DialogLogic& dialog) = 0;

  // The window's event loop, watching the upload server's sockets.
  virtual SocketWatcher& socket_watcher() = 0;
};

// What a window reports to the logic: button commands, the timer tick, a selection change
// in the module list, and the close of the window (asked first: false while an operation
// ends, after which the logic closes the window itself).
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void on_command(ButtonId button) = 0;
  virtual void on_timer() = 0;
  virtual void on_module_selection_changed() = 0;
  virtual bool on_close_requested() = 0;
  virtual void on_close() = 0;
  // Runs a socket-readiness handler of the watcher between commands, as an operation.
  virtual void on_socket_ready(const std::function<void()>& handler) = 0;
};

}  // namespace ui
