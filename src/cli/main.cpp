// quorvane-cli: the search, the polling and the upload server for scripts, with QtCore
// only for the command line.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli/cli_program.h"
#include "cli/qt/cli_arguments.h"
#include "discovery/captured_rows.h"
#include "rawlink/system_raw_link.h"

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("quorvane-cli");
  QCoreApplication::setApplicationVersion(QUORVANE_VERSION);
  const QCoreApplication application(argc, argv);  // names the program in the help text
  const cli::ParsedArguments parsed = cli::parse_arguments(QCoreApplication::arguments());
  switch (parsed.outcome) {
    case cli::ParsedArguments::Outcome::help:
      std::fputs(parsed.text.c_str(), stdout);
      return cli::exit_ok;
    case cli::ParsedArguments::Outcome::version:
      std::printf("quorvane-cli %s\n", QUORVANE_VERSION);
      return cli::exit_ok;
    case cli::ParsedArguments::Outcome::error:
      std::fprintf(stderr, "quorvane-cli: %s\n", parsed.text.c_str());
      return cli::exit_usage;
    case cli::ParsedArguments::Outcome::run: break;
  }

  // A reader that goes away (| head -1) makes writes fail instead of killing the program.
  std::signal(SIGPIPE, SIG_IGN);
  cli::StopSignalClock clock;
  if (!clock.ok()) {
    std::perror("quorvane-cli: pipe");
    return cli::exit_network;
  }
  rawlink::SystemRawLink link(clock, discovery::raw_search_queries());
  cli::OutputStream out(stdout, parsed.options.format == cli::Format::csv ? "\r\n" : "\n");
  cli::CliProgram program(parsed.options, out, stderr, clock, link);
  return program.run();
}
