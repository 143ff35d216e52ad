#pragma once
// The command line of quorvane-cli, read with QCommandLineParser and checked: every
// failure names the argument.
#include <QStringList>
#include <string>

#include "cli/cli_options.h"

namespace cli {

struct ParsedArguments {
  enum class Outcome { run, help, version, error } outcome = Outcome::run;
  CliOptions options;
  std::string text;  // the help text, or the one-line error
};

ParsedArguments parse_arguments(const QStringList& arguments);

}  // namespace cli
