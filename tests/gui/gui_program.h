#pragma once
// The real main window of a program started in its own directory, as the operator starts it.
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/fresh_start_directory.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"

namespace test {

class Program {
 public:
  void open() {
    window = std::make_unique<ui::qt::QtMainWindow>();
    logic = std::make_unique<app::MainWindow>(context, *window, clock, services);
    window->set_events(logic.get());
    ASSERT_TRUE(logic->create());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  void click(ui::ButtonId button) { QTest::mouseClick(window->button(button), Qt::LeftButton); }

  std::vector<std::string> lines(ui::ListId list) const {
    std::vector<std::string> result;
    for (int i = 0; i < window->list_count(list); ++i) result.push_back(window->list_line(list, i));
    return result;
  }

  FreshStartDirectory directory;
  app::ProgramContext context;
  app::MainWindowServices services;
  ui::qt::QtWaitClock clock;
  std::unique_ptr<ui::qt::QtMainWindow> window;
  std::unique_ptr<app::MainWindow> logic;
};

}  // namespace test
