#pragma once
// Answers every message box the window opens, as an operator would, and remembers what
// each one said.
#include <QMessageBox>
#include <QObject>
#include <QTimer>
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

 private:
  void answer_open_box();

  QMessageBox::StandardButton button_;
  QTimer timer_;
};

}  // namespace test
