#include "ui/qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_message_box.h"
#include "ui/texts.h"

namespace ui::qt {

namespace {

// Child controls are placed relative to the client area shrunk by 2 on every side.
constexpr int border = 2;
constexpr int left = border, top = border;
constexpr int button_width = 85, button_height = 35, button_above_bottom = 40;

QString from_utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QtMainWindow::QtMainWindow() {
  setObjectName(texts::window_title);
  setWindowTitle(texts::window_title);
  QIcon icon;
  for (const char* size : {"48", "128", "256"}) icon.addFile(QString(":/icons/quorvane-%1.png").arg(size));
  setWindowIcon(icon);
  // A fixed size: the window never changes its size. Until the window manager has framed
  // it, the client area is the whole 1024 x 720; fit_into_frame() then shrinks it.
  setFixedSize(window_outer_width, window_outer_height);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(background);

  module_list_ = make_list(QRect(left + 5, top + 25, 995, 290), QColor(67, 228, 228), true);
  data_list_ = make_list(QRect(left + 5, top + 340, 995, 290), QColor(255, 255, 208), false);
  connect(module_list_, &QListWidget::itemSelectionChanged, this, [this] {
    if (events_) events_->on_module_selection_changed();
  });

  make_button(ButtonId::parameter_settings, texts::button_parameter_settings);
  make_button(ButtonId::module_repair, texts::button_module_repair);
  make_button(ButtonId::remote_test, texts::button_remote_test);
  make_button(ButtonId::exit, texts::button_exit);
  make_button(ButtonId::stop, texts::button_stop);
  make_button(ButtonId::start, texts::button_start_initial);
  make_button(ButtonId::search, texts::button_search);
  make_button(ButtonId::basic_settings, texts::button_basic_settings);
  place_buttons();
  button_enable(ButtonId::parameter_settings, false);
  button_show(ButtonId::module_repair, false);
  button_show(ButtonId::remote_test, false);
  button_enable(ButtonId::stop, false);
  button_enable(ButtonId::start, false);

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (events_) events_->on_timer();
  });
}

QListWidget* QtMainWindow::make_list(const QRect& geometry, const QColor& background, bool selectable) {
  auto* list = new QListWidget(this);
  list->setGeometry(geometry);
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list->setSelectionMode(selectable ? QAbstractItemView::ExtendedSelection : QAbstractItemView::NoSelection);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setFrameShape(QFrame::Box);
  list->setUniformItemSizes(true);
  QPalette colours = list->palette();
  colours.setColor(QPalette::Base, background);
  colours.setColor(QPalette::Text, Qt::black);
  list->setPalette(colours);
  return list;
}

void QtMainWindow::make_button(ButtonId id, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  connect(button, &QPushButton::clicked, this, [this, id] {
    if (events_) events_->on_command(id);
  });
  buttons_[id] = button;
}

// Three buttons from the left border, five from the right one, all on the bottom row.
void QtMainWindow::place_buttons() {
  const int right = width() - border;
  const int y = height() - border - button_above_bottom;
  const std::pair<ButtonId, int> from_left[] = {
      {ButtonId::parameter_settings, 10}, {ButtonId::module_repair, 100}, {ButtonId::remote_test, 190}};
  const std::pair<ButtonId, int> from_right[] = {{ButtonId::exit, 90},
                                                 {ButtonId::stop, 180},
                                                 {ButtonId::start, 270},
                                                 {ButtonId::search, 360},
                                                 {ButtonId::basic_settings, 450}};
  for (const auto& [id, x] : from_left) buttons_.at(id)->setGeometry(left + x, y, button_width, button_height);
  for (const auto& [id, x] : from_right) buttons_.at(id)->setGeometry(right - x, y, button_width, button_height);
}

void QtMainWindow::fit_into_frame() {
  const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
  if (frame == fitted_frame_) return;
  fitted_frame_ = frame;
  client_ = client_size_within_frame(frame.width(), frame.height());
  setFixedSize(client_.width, client_.height);
  place_buttons();
  update();
}

bool QtMainWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  // The window manager's frame is known once it has framed the shown window.
  if (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize) {
    fit_into_frame();
  }
  return handled;
}

Answer QtMainWindow::show_message(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) {
  return show_message_box(isVisible() ? this : nullptr, caption, text, icon, buttons);
}

int QtMainWindow::run_dialog(DialogLogic& dialog) {
  QtDialog window(dialog, this);
  return window.run();
}

void QtMainWindow::list_clear(ListId list) { list_widget(list)->clear(); }

void QtMainWindow::list_add(ListId list, const std::string& line) { list_widget(list)->addItem(from_utf8(line)); }

void QtMainWindow::list_replace(ListId list, int index, const std::string& line) {
  QListWidget* widget = list_widget(list);
  if (index >= 0 && index < widget->count()) delete widget->takeItem(index);
  widget->insertItem(index, from_utf8(line));
}

int QtMainWindow::list_count(ListId list) const { return list_widget(list)->count(); }

std::string QtMainWindow::list_line(ListId list, int index) const {
  QListWidgetItem* item = list_widget(list)->item(index);
  return item ? item->text().toStdString() : std::string();
}

void QtMainWindow::list_select(ListId list, int index) {
  QListWidget* widget = list_widget(list);
  if (index < 0 || index >= widget->count()) return;
  widget->clearSelection();
  widget->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

bool QtMainWindow::list_selection(ListId list, std::vector<int>& selected) const {
  QModelIndexList rows = list_widget(list)->selectionModel()->selectedRows();
  selected.clear();
  for (const QModelIndex& row : rows) selected.push_back(row.row());
  std::sort(selected.begin(), selected.end());
  return true;
}

int QtMainWindow::list_top_index(ListId list) const {
  QListWidget* widget = list_widget(list);
  QListWidgetItem* item = widget->itemAt(2, 2);
  return item ? widget->row(item) : 0;
}

void QtMainWindow::list_set_top_index(ListId list, int index) {
  QListWidget* widget = list_widget(list);
  if (QListWidgetItem* item = widget->item(index)) widget->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void QtMainWindow::button_enable(ButtonId button, bool enabled) { buttons_.at(button)->setEnabled(enabled); }

void QtMainWindow::button_show(ButtonId button, bool shown) { buttons_.at(button)->setVisible(shown); }

void QtMainWindow::button_caption(ButtonId button, const std::string& caption) {
  buttons_.at(button)->setText(from_utf8(caption));
}

bool QtMainWindow::button_enabled(ButtonId button) const { return buttons_.at(button)->isEnabled(); }

void QtMainWindow::set_wait_cursor(bool waiting) {
  if (waiting) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtMainWindow::beep() { QApplication::beep(); }

void QtMainWindow::timer_start(int period_ms) { timer_.start(period_ms); }

int QtMainWindow::screen_width() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 0;
}

void QtMainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int l = 3, t = 3, r = width() - 3, b = height() - 3;
  painter.setPen(Qt::black);
  painter.drawLine(l, t, r, t);
  painter.drawLine(l, t, l, b);
  painter.setPen(Qt::white);
  painter.drawLine(r, t, r, b);
  painter.drawLine(l, b, r, b);

  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::TransparentMode);
  const int baseline = top + 5 + painter.fontMetrics().ascent();
  painter.drawText(left + 5, baseline, QString::fromUtf8(texts::head_module_number));
  painter.drawText(left + 130, baseline, QString::fromUtf8(texts::head_local_address));
  painter.drawText(left + 250, baseline, QString::fromUtf8(texts::head_mac));
  painter.drawText(left + 530, baseline, QString::fromUtf8(texts::head_parameters));
  painter.drawText(left + 5, top + 320 + painter.fontMetrics().ascent(), QString::fromUtf8(texts::head_data));
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (events_ && !events_->on_close_requested()) {
    event->ignore();
    return;
  }
  if (events_) events_->on_close();
  event->accept();
}

}  // namespace ui::qt
