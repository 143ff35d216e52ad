#pragma once
// What the command line asks for, checked: a command and its options.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ipv4_address.h"
#include "server/server_settings.h"

namespace cli {

enum class Command { search, poll, serve };
enum class Format { text, csv, json };

// Exit statuses.
constexpr int exit_ok = 0;          // also a closed output and a stop by signal
constexpr int exit_nothing = 1;     // no module found
constexpr int exit_network = 2;     // the network failed, with the window's message
constexpr int exit_usage = 64;      // bad arguments, naming the argument

constexpr int default_period_ms = 1000;
constexpr int max_period_ms = 3'600'000;
constexpr long max_cycles = 1'000'000'000;
constexpr int max_summary_every_s = 86'400;

struct CliOptions {
  Command command = Command::search;
  Format format = Format::text;
  // poll
  long cycles = 1;
  bool endless = false;  // --forever
  int period_ms = default_period_ms;
  std::vector<platform::Ipv4Address> only;  // empty: every module
  // serve
  bool tcp = true;
  std::optional<platform::Ipv4Address> address;  // an address of the PC
  std::uint16_t port = server::default_port;
  int summary_every_s = 0;  // 0: never
  bool lookup = false;
};

}  // namespace cli
