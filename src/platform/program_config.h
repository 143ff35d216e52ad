#pragma once
// The operator's site configuration, quorvane.conf: an INI text with the values that depend
// on the site. Pure: the file's bytes in, the values and every problem found out.
//
//   [address-services]        what-is-my-address services, tried A to D; a missing or
//   A = host.name             empty key means that service is not tried
//   [setup]
//   password = text           the modules' setup-port password (overrides the built-in one)
//
// Lines are trimmed; blank lines and lines starting with ';' or '#' are comments. Section
// and key names ignore letter case. A value may be wrapped in double quotes to keep its
// outer blanks. A later key of the same name replaces the earlier one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

constexpr std::size_t address_service_count = 4;  // services A, B, C and D
constexpr std::size_t max_host_name_chars = 253;

struct ProgramConfig {
  // Host name of service A..D; empty: not configured, the service is not tried.
  std::array<std::string, address_service_count> address_service_hosts;
  // nullopt: the file does not set it, the built-in default holds.
  std::optional<std::string> setup_password;

  bool operator==(const ProgramConfig&) const = default;
};

enum class ConfigProblemKind {
  unreadable,         // the file exists but could not be read; nothing of it is used
  unknown_section,    // reported once per section header; its keys are skipped
  unknown_key,        // in a known section, or before any section
  malformed_line,     // neither a comment, a section header nor key = value
  invalid_host_name,  // an address-service value that is no host name; the service is not tried
  duplicate_key,      // the later value is used
};

struct ConfigProblem {
  ConfigProblemKind kind = ConfigProblemKind::unreadable;
  int line = 0;         // 1-based; 0 for the file as a whole
  std::string section;  // as written in the file
  std::string key;      // as written; for malformed_line the line itself (cut to 60 bytes)

  bool operator==(const ConfigProblem&) const = default;
};

struct ParsedConfig {
  ProgramConfig config;
  std::vector<ConfigProblem> problems;  // in the order of the lines
};

ParsedConfig parse_program_config(std::span<const std::uint8_t> bytes);

// A host name as a resolver takes it: dot-separated labels of letters, digits and '-',
// each 1..63 characters, at most 253 in all (a dotted IPv4 address passes too).
bool is_host_name(const std::string& text);

}  // namespace platform
