// Program start: --help and --version, a start directory the user can write, then one window
// on one GUI thread, run until the window closes.
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>

#include "app/main_window.h"
#include "app/program_context.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"

namespace {

void describe_options(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Searches the LAN for sensor modules, polls their readings and receives the readings they upload.\n"
      "Keeps its settings (qorvan24.cfg), its change record (chg_record.txt) and its data files in the\n"
      "directory it is started from, or in ~/.local/share/quorvane/ when that directory is not writable.\n"
      "See quorvane(1).");
  parser.addHelpOption();
  parser.addVersionOption();
}

// --help and --version answer before anything needs a display. Qt's own options (-platform,
// -style, ...) are not known here; with them the answer waits for QApplication, which removes them.
void answer_without_display(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  describe_options(parser);
  if (!parser.parse(arguments)) return;
  if (parser.isSet("version") || parser.isSet("help") || parser.isSet("help-all")) {
    QCoreApplication without_display(argc, argv);
    parser.process(without_display);  // prints and exits
  }
}

// A launcher may start the program where the user cannot write (the root directory, the
// binary's folder). Its files then go to the user's own data folder, never next to the binary.
void leave_unwritable_start_directory() {
  if (access(".", W_OK) == 0) return;
  const QString data_folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (data_folder.isEmpty() || !QDir().mkpath(data_folder) || !QDir::setCurrent(data_folder)) {
    std::fprintf(stderr, "quorvane: the start directory is not writable, nor is %s\n", qPrintable(data_folder));
    return;
  }
  std::fprintf(stderr, "quorvane: the start directory is not writable; files go to %s\n", qPrintable(data_folder));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("quorvane");
  QCoreApplication::setApplicationVersion(QUORVANE_VERSION);
  QGuiApplication::setDesktopFileName("org.quorvane.quorvane");  // the shell finds the icon and name there
  answer_without_display(argc, argv);

  QApplication application(argc, argv);
  QCommandLineParser parser;
  describe_options(parser);
  parser.process(application);
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "quorvane: takes no arguments (see --help)\n");
    return 2;
  }
  leave_unwritable_start_directory();

  app::ProgramContext context;
  ui::qt::QtWaitClock clock;  // every wait of the program, with the window's events flowing
  ui::qt::QtMainWindow window;
  app::MainWindow logic(context, window, clock);
  window.set_events(&logic);
  if (!logic.create()) return 0;
  window.show();
  return application.exec();
}
