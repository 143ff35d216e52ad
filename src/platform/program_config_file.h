#pragma once
// Where quorvane.conf is looked for, and reading the first one found.
//   1. the path in $QUORVANE_CONFIG (when set, it is the only place looked at)
//   2. quorvane.conf in the start directory
//   3. $XDG_CONFIG_HOME/quorvane/quorvane.conf, or ~/.config/quorvane/quorvane.conf
//   4. /etc/quorvane/quorvane.conf
// The first that exists is used whole; none found means an empty configuration.
#include <optional>
#include <string>
#include <vector>

#include "platform/program_config.h"

namespace platform {

inline constexpr const char* config_file_name = "quorvane.conf";
inline constexpr const char* system_config_path = "/etc/quorvane/quorvane.conf";
constexpr std::size_t max_config_file_bytes = 64 * 1024;

// The environment variables the search depends on; nullopt when unset.
struct ConfigEnvironment {
  std::optional<std::string> quorvane_config;
  std::optional<std::string> xdg_config_home;
  std::optional<std::string> home;
};

ConfigEnvironment config_environment_of_process();

// The paths to try, in order. A set $QUORVANE_CONFIG is the only candidate, so a mistyped
// path is reported instead of silently falling back to another file. A relative or empty
// $XDG_CONFIG_HOME is ignored, as the XDG rules say.
std::vector<std::string> config_file_candidates(const ConfigEnvironment& environment,
                                                const std::string& start_directory);

struct LoadedConfig {
  std::string path;  // the file used, or "" when none was found
  ParsedConfig parsed;
};

// Reads the first candidate that exists (any candidate when it is the explicit one). A file
// that exists but cannot be read, or is larger than max_config_file_bytes, gives an empty
// configuration with one unreadable problem.
LoadedConfig load_program_config(const std::vector<std::string>& candidates, bool first_is_explicit);

// The whole search for this process.
LoadedConfig load_program_config(const std::string& start_directory);

}  // namespace platform
