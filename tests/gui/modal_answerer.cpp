#include "modal_answerer.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>

namespace test {

ModalAnswerer::ModalAnswerer(QMessageBox::StandardButton button) : button_(button) {
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::answer_open_box);
  timer_.start(20);
}

void ModalAnswerer::answer_open_box() {
  QWidget* modal = QApplication::activeModalWidget();
  auto* box = qobject_cast<QMessageBox*>(modal);
  auto* dialog = qobject_cast<QDialog*>(modal);
  if (!box && dialog && dialog->isVisible() && dialog != answered_dialog_ && on_dialog) {
    answered_dialog_ = dialog;  // once: its own message boxes come on top of it
    on_dialog(dialog);
    return;
  }
  if (!box || !box->isVisible()) return;
  boxes.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
  QAbstractButton* target = box->button(button_);
  if (!target) target = box->defaultButton();
  if (!target && !box->buttons().isEmpty()) target = box->buttons().first();
  if (target) target->click();
}

}  // namespace test
