#include "cli/qt/cli_arguments.h"

#include <QCommandLineParser>

#include "platform/ipv4_address.h"

namespace cli {

namespace {

const char* const description =
    "Searches the LAN for sensor modules, polls their readings and receives their uploads, for scripts.\n"
    "Commands:\n"
    "  search   list the modules that answer (exit 0 found, 1 none, 2 network error)\n"
    "  poll     search, then poll the sensor modules: --cycles N (1) or --forever, every --period MS\n"
    "  serve    receive the records of modules in active-upload mode (--tcp or --udp) until SIGINT/SIGTERM\n"
    "Bad arguments end with status 64. See quorvane-cli(1).";

struct Failure {
  std::string text;
};

long number_in_range(const QCommandLineParser& parser, const QString& name, long low, long high) {
  const QString value = parser.value(name);
  bool ok = false;
  const long number = value.toLong(&ok);
  if (!ok || number < low || number > high) {
    throw Failure{"--" + name.toStdString() + " " + value.toStdString() + ": not a number from " +
                  std::to_string(low) + " to " + std::to_string(high)};
  }
  return number;
}

platform::Ipv4Address address(const QString& option, const QString& text) {
  const std::optional<platform::Ipv4Address> ip = platform::Ipv4Address::parse(text.trimmed().toStdString());
  if (!ip) throw Failure{"--" + option.toStdString() + " " + text.toStdString() + ": not an IPv4 address"};
  return *ip;
}

// Options that only some commands take.
void refuse_foreign(const QCommandLineParser& parser, const QString& command, const QStringList& options) {
  for (const QString& option : options) {
    if (parser.isSet(option)) throw Failure{"--" + option.toStdString() + ": not an option of " + command.toStdString()};
  }
}

CliOptions checked_options(const QCommandLineParser& parser) {
  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) throw Failure{"missing command: search, poll or serve (see --help)"};
  if (positional.size() > 1) throw Failure{positional[1].toStdString() + ": unexpected argument"};
  CliOptions options;
  const QString command = positional[0];
  const QStringList poll_options = {"cycles", "forever", "period", "only"};
  const QStringList serve_options = {"tcp", "udp", "address", "port", "summary-every", "lookup"};
  if (command == "search") {
    options.command = Command::search;
    refuse_foreign(parser, command, poll_options + serve_options);
  } else if (command == "poll") {
    options.command = Command::poll;
    refuse_foreign(parser, command, serve_options);
  } else if (command == "serve") {
    options.command = Command::serve;
    refuse_foreign(parser, command, poll_options);
  } else {
    throw Failure{command.toStdString() + ": unknown command (search, poll or serve)"};
  }

  if (parser.isSet("format")) {
    const QString format = parser.value("format");
    if (format == "text") options.format = Format::text;
    else if (format == "csv") options.format = Format::csv;
    else if (format == "json") options.format = Format::json;
    else throw Failure{"--format " + format.toStdString() + ": not text, csv or json"};
  }
  if (parser.isSet("cycles") && parser.isSet("forever")) throw Failure{"--cycles: not together with --forever"};
  if (parser.isSet("cycles")) options.cycles = number_in_range(parser, "cycles", 1, max_cycles);
  options.endless = parser.isSet("forever");
  if (parser.isSet("period")) options.period_ms = static_cast<int>(number_in_range(parser, "period", 0, max_period_ms));
  for (const QString& list : parser.values("only")) {
    for (const QString& ip : list.split(',', Qt::SkipEmptyParts)) options.only.push_back(address("only", ip));
  }
  if (parser.isSet("only") && options.only.empty()) throw Failure{"--only: no address given"};

  if (options.command == Command::serve) {
    if (parser.isSet("tcp") == parser.isSet("udp")) throw Failure{"--tcp or --udp: give exactly one"};
    options.tcp = parser.isSet("tcp");
  }
  if (parser.isSet("address")) options.address = address("address", parser.value("address"));
  if (parser.isSet("port")) {
    options.port = static_cast<std::uint16_t>(number_in_range(parser, "port", server::min_port, server::max_port));
  }
  if (parser.isSet("summary-every")) {
    options.summary_every_s = static_cast<int>(number_in_range(parser, "summary-every", 1, max_summary_every_s));
  }
  options.lookup = parser.isSet("lookup");
  return options;
}

}  // namespace

ParsedArguments parse_arguments(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(description);
  parser.addPositionalArgument("command", "search, poll or serve");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOptions({
      {"format", "Output as text (the window's lines), csv (RFC 4180 with a header) or json.", "text|csv|json"},
      {"cycles", "poll: number of polling cycles (default 1).", "N"},
      {"forever", "poll: cycles until SIGINT or SIGTERM."},
      {"period", "poll: pause between cycles in milliseconds, 0 to 3600000 (default 1000).", "MS"},
      {"only", "poll: only the modules at these addresses.", "IP,..."},
      {"tcp", "serve: receive from ATCP modules over TCP."},
      {"udp", "serve: receive from AUDP modules over UDP."},
      {"address", "serve: the PC's address to listen on (default: its first).", "IP"},
      {"port", "serve: port to listen on, 1000 to 65535 (default 8005).", "PORT"},
      {"summary-every", "serve: print the summary of modules every S seconds.", "S"},
      {"lookup", "serve: look up the PC's external address for the banner (asks web services)."},
  });
  ParsedArguments parsed;
  if (!parser.parse(arguments)) {
    parsed.outcome = ParsedArguments::Outcome::error;
    parsed.text = parser.errorText().toStdString();
    return parsed;
  }
  if (parser.isSet("help")) {
    parsed.outcome = ParsedArguments::Outcome::help;
    parsed.text = parser.helpText().toStdString();
    return parsed;
  }
  if (parser.isSet("version")) {
    parsed.outcome = ParsedArguments::Outcome::version;
    return parsed;
  }
  try {
    parsed.options = checked_options(parser);
  } catch (const Failure& failure) {
    parsed.outcome = ParsedArguments::Outcome::error;
    parsed.text = failure.text;
  }
  return parsed;
}

}  // namespace cli
