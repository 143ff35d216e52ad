#include "support/fresh_start_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace test {

namespace {

std::optional<std::string> take_environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void restore_environment(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

FreshStartDirectory::FreshStartDirectory()
    : previous_(std::filesystem::current_path().string()),
      previous_config_(take_environment("QUORVANE_CONFIG")),
      previous_xdg_config_home_(take_environment("XDG_CONFIG_HOME")) {
  EXPECT_EQ(chdir(path().c_str()), 0);
  unsetenv("QUORVANE_CONFIG");
  setenv("XDG_CONFIG_HOME", path().c_str(), 1);
}

FreshStartDirectory::~FreshStartDirectory() {
  EXPECT_EQ(chdir(previous_.c_str()), 0);
  restore_environment("QUORVANE_CONFIG", previous_config_);
  restore_environment("XDG_CONFIG_HOME", previous_xdg_config_home_);
}

}  // namespace test
