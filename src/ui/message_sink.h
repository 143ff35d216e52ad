#pragma once
// What the logic asks of whoever shows modal message boxes.
#include <string>

namespace ui {

enum class Icon { none, warning, information };
enum class Buttons { ok, yes_no, ok_cancel };
enum class Answer { ok, yes, no, cancel };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows a modal box and returns the button that closed it.
  virtual Answer show_message(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) = 0;

  // The common case: a warning box with an OK button.
  void warn(const std::string& caption, const std::string& text);
};

}  // namespace ui
