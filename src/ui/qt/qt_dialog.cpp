#include "ui/qt/qt_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/qt_message_box.h"

namespace ui::qt {

namespace {

QString from_utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString object_name(int id) { return QString("control_%1").arg(id); }

}  // namespace

QtDialog::QtDialog(DialogLogic& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  const DialogTable& table = logic_.table();
  setWindowTitle(QString::fromUtf8(table.title));
  setModal(true);
  auto* grid = new QGridLayout;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  std::map<int, QGroupBox*> groups;

  for (const ControlEntry& c : table.controls) {
    QWidget* w = nullptr;
    const QString label = QString::fromUtf8(c.label);
    switch (c.kind) {
      case ControlKind::text:
      case ControlKind::edit: {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(c.kind == ControlKind::text);
        if (c.kind == ControlKind::edit) {
          const int id = c.id;
          connect(edit, &QLineEdit::textEdited, this, [this, id] { logic_.on_edit(*this, id); });
        }
        w = edit;
        break;
      }
      case ControlKind::multiline_text: {
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(true);
        text->setFixedHeight(90);
        w = text;
        break;
      }
      case ControlKind::check_box: w = new QCheckBox(label, this); break;
      case ControlKind::group: {
        auto* box = new QGroupBox(label, this);
        box->setLayout(new QHBoxLayout);
        groups[c.id] = box;
        w = box;
        break;
      }
      case ControlKind::radio: w = new QRadioButton(label, this); break;
      case ControlKind::button: w = new QPushButton(label, this); break;
      case ControlKind::label: w = new QLabel(label, this); break;
    }
    w->setObjectName(object_name(c.id));
    widgets_[c.id] = w;

    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      const int id = c.id;
      connect(button, &QAbstractButton::clicked, this, [this, id] { logic_.on_click(*this, id); });
    }
    if (c.kind == ControlKind::radio && groups.count(c.group)) {
      groups[c.group]->layout()->addWidget(w);
    } else if (c.kind == ControlKind::button) {
      buttons->addWidget(w);
    } else if (c.kind == ControlKind::text || c.kind == ControlKind::edit || c.kind == ControlKind::multiline_text) {
      if (!label.isEmpty()) {
        auto* caption = new QLabel(label, this);
        grid->addWidget(caption, c.row, c.column * 3, Qt::AlignRight | Qt::AlignTop);
        labels_[c.id] = caption;
      }
      grid->addWidget(w, c.row, c.column * 3 + 1);
      if (c.suffix[0] != '\0') grid->addWidget(new QLabel(QString::fromUtf8(c.suffix), this), c.row, c.column * 3 + 2);
    } else if (c.kind == ControlKind::label) {
      grid->addWidget(w, c.row, c.column * 3, 1, -1);
    } else {
      grid->addWidget(w, c.row, c.column * 3, 1, 2);
    }
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

int QtDialog::run() {
  logic_.on_open(*this);
  if (pending_result_ >= 0) return pending_result_;
  return exec();
}

Answer QtDialog::show_message(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) {
  return show_message_box(isVisible() ? this : parentWidget(), caption, text, icon, buttons);
}

QWidget* QtDialog::widget(int id) const {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

std::string QtDialog::text(int id) const {
  QWidget* w = widget(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* text = qobject_cast<QPlainTextEdit*>(w)) return text->toPlainText().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
  return {};
}

void QtDialog::set_text(int id, const std::string& text) {
  QWidget* w = widget(id);
  QString value = from_utf8(text);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(value);
  if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) plain->setPlainText(value.replace("\r\n", "\n"));
}

bool QtDialog::checked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(widget(id));
  return button && button->isChecked();
}

void QtDialog::set_checked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget(id))) {
    // Radio buttons of a group exclude each other only when one is ticked; unticking them
    // all needs the exclusivity off for a moment.
    auto* radio = qobject_cast<QRadioButton*>(button);
    if (radio && !checked) radio->setAutoExclusive(false);
    button->setChecked(checked);
    if (radio && !checked) radio->setAutoExclusive(true);
  }
}

bool QtDialog::enabled(int id) const {
  QWidget* w = widget(id);
  return w && w->isEnabled();
}

void QtDialog::enable(int id, bool enabled) {
  if (QWidget* w = widget(id)) w->setEnabled(enabled);
}

void QtDialog::show(int id, bool shown) {
  if (QWidget* w = widget(id)) w->setVisible(shown);
  auto label = labels_.find(id);
  if (label != labels_.end()) label->second->setVisible(shown);
}

void QtDialog::focus(int id) {
  if (QWidget* w = widget(id)) w->setFocus();
}

void QtDialog::set_wait_cursor(bool waiting) {
  if (waiting) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtDialog::close_dialog(int result) {
  closing_ = true;
  if (isVisible()) {
    done(result);
  } else {
    pending_result_ = result;
  }
}

void QtDialog::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  event->ignore();
  logic_.on_close_request(*this);
}

void QtDialog::reject() {
  // Escape and the close box both ask the logic, which decides how the dialog ends.
  if (closing_) {
    QDialog::reject();
    return;
  }
  logic_.on_close_request(*this);
}

}  // namespace ui::qt
