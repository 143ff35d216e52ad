#include "platform/program_config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

std::optional<std::string> environment_value(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string joined(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

bool exists(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

// The file's bytes, or nullopt when it cannot be opened or read, is no regular file or is too large.
std::optional<std::vector<std::uint8_t>> read_whole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(max_config_file_bytes + 1);
  std::size_t used = 0;
  struct stat status {};
  bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  while (ok && used < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (got == 0) break;
    if (got < 0) {
      ok = errno == EINTR;
      continue;
    }
    used += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (!ok || used > max_config_file_bytes) return std::nullopt;
  bytes.resize(used);
  return bytes;
}

}  // namespace

ConfigEnvironment config_environment_of_process() {
  return {environment_value("QUORVANE_CONFIG"), environment_value("XDG_CONFIG_HOME"), environment_value("HOME")};
}

std::vector<std::string> config_file_candidates(const ConfigEnvironment& environment,
                                                const std::string& start_directory) {
  if (environment.quorvane_config && !environment.quorvane_config->empty()) return {*environment.quorvane_config};
  std::vector<std::string> candidates;
  candidates.push_back(joined(start_directory, config_file_name));
  const std::string subpath = std::string("quorvane/") + config_file_name;
  if (environment.xdg_config_home && environment.xdg_config_home->starts_with('/')) {
    candidates.push_back(joined(*environment.xdg_config_home, subpath));
  } else if (environment.home && !environment.home->empty()) {
    candidates.push_back(joined(joined(*environment.home, ".config"), subpath));
  }
  candidates.push_back(system_config_path);
  return candidates;
}

LoadedConfig load_program_config(const std::vector<std::string>& candidates, bool first_is_explicit) {
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const std::string& path = candidates[i];
    if (!(i == 0 && first_is_explicit) && !exists(path)) continue;
    LoadedConfig loaded{path, {}};
    if (const auto bytes = read_whole(path)) {
      loaded.parsed = parse_program_config(*bytes);
    } else {
      loaded.parsed.problems.push_back({ConfigProblemKind::unreadable, 0, "", ""});
    }
    return loaded;
  }
  return {};
}

LoadedConfig load_program_config(const std::string& start_directory) {
  const ConfigEnvironment environment = config_environment_of_process();
  const bool is_explicit = environment.quorvane_config && !environment.quorvane_config->empty();
  return load_program_config(config_file_candidates(environment, start_directory), is_explicit);
}

}  // namespace platform
