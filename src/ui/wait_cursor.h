#pragma once
// Shows the wait cursor of the window or of a dialog (anything with set_wait_cursor) for
// the lifetime of the object.
namespace ui {

template <class View>
class WaitCursor {
 public:
  explicit WaitCursor(View& view) : view_(view) { view_.set_wait_cursor(true); }
  ~WaitCursor() { view_.set_wait_cursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  View& view_;
};

}  // namespace ui
