// Program start: one window on one GUI thread, run until the window closes.
#include <QApplication>

#include "app/main_window.h"
#include "app/program_context.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::ProgramContext context;
  ui::qt::QtWaitClock clock;  // every wait of the program, with the window's events flowing
  ui::qt::QtMainWindow window;
  app::MainWindow logic(context, window, clock);
  window.set_events(&logic);
  if (!logic.create()) return 0;
  window.show();
  return application.exec();
}
