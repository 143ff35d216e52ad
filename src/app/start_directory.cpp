#include "app/start_directory.h"

#include <filesystem>
#include <system_error>

namespace app {

std::string remember_start_directory() {
  std::error_code error;
  std::filesystem::path current = std::filesystem::current_path(error);
  return error ? std::string() : current.string();
}

std::string join_start_directory(const std::string& directory, const std::string& file_name) {
  if (directory.empty()) return file_name;
  return (std::filesystem::path(directory) / file_name).string();
}

}  // namespace app
