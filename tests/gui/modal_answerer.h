#pragma once
// Answers every message box the window opens, as an operator would, and remembers what
// each one said.
#include <QDialog>
#include <QMessageBox>
#include <QObject>
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

}  // namespace test
