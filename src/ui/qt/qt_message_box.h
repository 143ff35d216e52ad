#pragma once
// A modal message box with the program's caption, text, icon and buttons.
#include <QWidget>
#include <string>

#include "ui/message_sink.h"

namespace ui::qt {

Answer show_message_box(QWidget* parent, const std::string& caption, const std::string& text, Icon icon,
                        Buttons buttons);

}  // namespace ui::qt
