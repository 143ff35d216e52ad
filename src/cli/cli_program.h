#pragma once
// The command-line program: search, poll and serve over the window's own steps and
// libraries, its lines and records printed instead of shown. Messages the window would
// show in a box go to the error stream, one line each.
#include <cstdio>
#include <functional>

#include "app/program_context.h"
#include "cli/cli_options.h"
#include "cli/console_view.h"
#include "cli/output_stream.h"
#include "cli/stop_signal_clock.h"
#include "rawlink/raw_link.h"
#include "platform/adapters.h"

namespace cli {

class CliProgram {
 public:
  CliProgram(const CliOptions& options, OutputStream& out, std::FILE* errors, StopSignalClock& clock,
             rawlink::RawLink& link,
             std::function<platform::AdapterListing()> list_adapters = platform::list_adapters);

  // Runs the command to its end (or to a stop signal); returns the exit status.
  int run();

 private:
  int search();
  int poll();
  int serve();
  // The search as the window's Search runs it: exit_ok with modules listed, else the status.
  int find_modules();
  // Keeps only the modules of --only in the list; exit_ok, or exit_nothing when none is left.
  int keep_only_chosen();
  void print_cycle(bool first);
  void print_summary();
  std::string now_text();
  void error_line(const std::string& text);

  const CliOptions& options_;
  OutputStream& out_;
  std::FILE* errors_;
  StopSignalClock& clock_;
  rawlink::RawLink& link_;
  std::function<platform::AdapterListing()> list_adapters_;
  app::ProgramContext context_;
  ConsoleView view_;
};

}  // namespace cli
