#pragma once
// The main window as real Qt widgets: two list boxes, eight buttons, the painted frame and
// list captions, the polling timer. Commands go to the MainWindowEvents it is given.
#include <QListWidget>
#include <QPushButton>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <map>

#include "ui/main_view.h"
#include "ui/qt/qt_socket_watcher.h"
#include "ui/qt/window_frame.h"

namespace ui::qt {

class QtMainWindow : public QWidget, public MainView {
  Q_OBJECT

 public:
  QtMainWindow();

  // Must be set before the window gets any event.
  void set_events(MainWindowEvents* events) {
    events_ = events;
    socket_watcher_.set_dispatch([events](const std::function<void()>& handler) { events->on_socket_ready(handler); });
  }

  Answer show_message(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) override;

  void list_clear(ListId list) override;
  void list_add(ListId list, const std::string& line) override;
  void list_replace(ListId list, int index, const std::string& line) override;
  int list_count(ListId list) const override;
  std::string list_line(ListId list, int index) const override;
  void list_select(ListId list, int index) override;
  bool list_selection(ListId list, std::vector<int>& selected) const override;
  int list_top_index(ListId list) const override;
  void list_set_top_index(ListId list, int index) override;

  void button_enable(ButtonId button, bool enabled) override;
  void button_show(ButtonId button, bool shown) override;
  void button_caption(ButtonId button, const std::string& caption) override;
  bool button_enabled(ButtonId button) const override;

  void set_wait_cursor(bool waiting) override;
  void repaint() override { update(); }
  void beep() override;
  void timer_start(int period_ms) override;
  void timer_stop() override { timer_.stop(); }
  void close_window() override { close(); }
  int screen_width() const override;
  int run_dialog(DialogLogic& dialog) override;
  SocketWatcher& socket_watcher() override { return socket_watcher_; }

  // For tests and screenshots.
  QListWidget* list_widget(ListId list) const { return list == ListId::modules ? module_list_ : data_list_; }
  QPushButton* button(ButtonId id) const { return buttons_.at(id); }
  // The client area chosen for the window manager's frame.
  ClientSize client_size() const { return client_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QListWidget* make_list(const QRect& geometry, const QColor& background, bool selectable);
  void make_button(ButtonId id, const char* caption);
  void place_buttons();
  // Shrinks the client area so that the frame and all fit 1024 x 720, when it can.
  void fit_into_frame();

  MainWindowEvents* events_ = nullptr;
  QListWidget* module_list_ = nullptr;
  QListWidget* data_list_ = nullptr;
  std::map<ButtonId, QPushButton*> buttons_;
  QTimer timer_;
  QtSocketWatcher socket_watcher_;
  QSize fitted_frame_{0, 0};  // the frame the client area was last fitted to
  ClientSize client_;
};

}  // namespace ui::qt
