#pragma once
// Answers every message box the window opens, as an operator would, and remembers what
// each one said.
#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace test {

struct AnsweredBox {
  std::string caption;
  std::string text;
};

class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  // Clicks `button` in each box (the box's only or default button when it has not got it).
  explicit ModalAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok);

  std::vector<AnsweredBox> boxes;
  // Called with each dialog (other than a message box) that opens; it answers it as the
  // operator would, clicking its buttons.
  std::function<void(QDialog*)> on_dialog;

 private:
  void answer_open_box();

  QMessageBox::StandardButton button_;
  QDialog* answered_dialog_ = nullptr;
  QTimer timer_;
};

// The widget of control `id` in a dialog built from its table.
template <typename Widget>
Widget* control(QDialog* dialog, int id) {
  return dialog->findChild<Widget*>(QString("control_%1").arg(id));
}

// Clicks a button, or a check box or radio button on its box.
inline void click(QDialog* dialog, int id) {
  auto* button = control<QAbstractButton>(dialog, id);
  if (button) QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// Runs the operator's steps once the answerer's callback has returned: a refused OK opens a
// box inside the steps, and the answerer's timer can only answer it from outside its own slot.
inline std::function<void(QDialog*)> later(std::function<void(QDialog*)> steps) {
  return [steps](QDialog* dialog) { QTimer::singleShot(0, dialog, [steps, dialog] { steps(dialog); }); };
}

}  // namespace test
