#include "ui/qt/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace ui::qt {

Answer show_message_box(QWidget* parent, const std::string& caption, const std::string& text, Icon icon,
                        Buttons buttons) {
  QString body = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  body.replace("\r\n", "\n");
  QMessageBox box(icon == Icon::warning       ? QMessageBox::Warning
                  : icon == Icon::information ? QMessageBox::Information
                                              : QMessageBox::NoIcon,
                  QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), body,
                  QMessageBox::NoButton, parent);
  switch (buttons) {
    case Buttons::ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::yes_no: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::ok_cancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
  }
  // The operator answers a box with the normal cursor, also inside a long command.
  const bool waiting = QApplication::overrideCursor() != nullptr;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  if (waiting) QApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Yes: return Answer::yes;
    case QMessageBox::No: return Answer::no;
    case QMessageBox::Cancel: return Answer::cancel;
    default: return Answer::ok;
  }
}

}  // namespace ui::qt
