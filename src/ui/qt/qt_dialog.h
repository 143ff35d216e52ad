#pragma once
// A modal QDialog built from a dialog's table of controls. Each control's widget carries
// the object name "control_<id>", so tests find it.
#include <QDialog>
#include <map>

#include "ui/dialog.h"

namespace ui::qt {

class QtDialog : public QDialog, public DialogView {
  Q_OBJECT

 public:
  QtDialog(DialogLogic& logic, QWidget* parent);

  // Builds, opens and runs the dialog; returns its result.
  int run();

  Answer show_message(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) override;
  std::string text(int id) const override;
  void set_text(int id, const std::string& text) override;
  bool checked(int id) const override;
  void set_checked(int id, bool checked) override;
  bool enabled(int id) const override;
  void enable(int id, bool enabled) override;
  void show(int id, bool shown) override;
  void focus(int id) override;
  void set_wait_cursor(bool waiting) override;
  void close_dialog(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QWidget* widget(int id) const;

  DialogLogic& logic_;
  std::map<int, QWidget*> widgets_;
  std::map<int, QWidget*> labels_;  // the label beside a field, shown and hidden with it
  bool closing_ = false;
  int pending_result_ = -1;  // a close requested before the event loop runs
};

}  // namespace ui::qt
