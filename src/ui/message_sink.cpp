#include "ui/message_sink.h"

namespace ui {

void MessageSink::warn(const std::string& caption, const std::string& text) {
  show_message(caption, text, Icon::warning, Buttons::ok);
}

}  // namespace ui
