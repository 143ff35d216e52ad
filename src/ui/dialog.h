#pragma once
// Dialogs: each is a logic class over DialogView plus a declarative table of its controls.
// The Qt backend builds real widgets from the table; the tests drive a scripted view.
#include <string>
#include <vector>

#include "ui/message_sink.h"

namespace ui {

enum class ControlKind {
  text,            // one-line read-only text
  multiline_text,  // several lines, read-only
  edit,            // one-line editable field
  check_box,
  group,           // a frame with a caption that holds radio buttons
  radio,           // a radio button; `group` names the group control it sits in
  button,          // a push button; clicks reach on_click
  label,           // static text: shows its label, spans the row
};

// One control. Controls with a label show it before them; check boxes, radios, groups and
// buttons carry it as their own caption. Rows and columns place it on the dialog's grid.
struct ControlEntry {
  int id = 0;
  ControlKind kind = ControlKind::text;
  const char* label = "";
  int row = 0;
  int column = 0;
  int group = 0;        // id of the group control of a radio button
  const char* suffix = "";  // text after an edit, such as a unit
};

struct DialogTable {
  const char* title = "";
  std::vector<ControlEntry> controls;
};

// What a dialog's logic asks of the dialog on screen.
class DialogView : public MessageSink {
 public:
  virtual std::string text(int id) const = 0;
  virtual void set_text(int id, const std::string& text) = 0;
  virtual bool checked(int id) const = 0;
  virtual void set_checked(int id, bool checked) = 0;
  virtual bool enabled(int id) const = 0;
  virtual void enable(int id, bool enabled) = 0;
  virtual void show(int id, bool shown) = 0;
  virtual void focus(int id) = 0;
  virtual void set_wait_cursor(bool waiting) = 0;
  // Ends the dialog with result (1 confirmed, 0 not).
  virtual void close_dialog(int result) = 0;
};

class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  virtual const DialogTable& table() const = 0;
  // Runs once the controls exist; may close the dialog at once.
  virtual void on_open(DialogView& view) = 0;
  // A button, check box or radio button was clicked (its state already changed).
  virtual void on_click(DialogView& view, int id) = 0;
  // The operator changed the text of an edit field (not called for set_text).
  virtual void on_edit(DialogView& view, int id) {
    (void)view;
    (void)id;
  }
  // The window's close box: the same as leaving without OK.
  virtual void on_close_request(DialogView& view) { view.close_dialog(0); }
};

// Runs a dialog modally and returns its result.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int run(DialogLogic& dialog) = 0;
};

}  // namespace ui
