#include "app/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

namespace app {

namespace {

constexpr mode_t new_file_mode = 0644;
constexpr mode_t default_umask = 022;

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// "dir/.name.XXXXXX": hidden beside the file, so the rename stays within one file system.
std::string temporary_template(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name_at = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name_at) + "." + path.substr(name_at) + ".XXXXXX";
}

// The process's umask, read without changing it (umask() would, for every thread).
mode_t current_umask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:")) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
  }
  return default_umask;
}

// The old file's permissions, or those a newly created file would get.
mode_t replacement_mode(const std::string& path) {
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
  return new_file_mode & ~current_umask();
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : path_(path) {
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && !S_ISREG(old.st_mode)) return;  // nothing a file can replace
  std::string pattern = temporary_template(path);
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return;
  temporary_path_ = pattern;
  if (::fchmod(fd_, replacement_mode(path)) != 0) discard();
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::write_all(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

bool ReplacingFile::commit() {
  if (fd_ < 0) return false;
  const bool flushed = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed || ::rename(temporary_path_.c_str(), path_.c_str()) != 0) {
    discard();
    return false;
  }
  temporary_path_.clear();
  // The rename itself reaches the disk with the directory.
  const int directory = ::open(directory_of(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    ::fsync(directory);
    ::close(directory);
  }
  return true;
}

void ReplacingFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_path_.empty()) ::unlink(temporary_path_.c_str());
  temporary_path_.clear();
}

}  // namespace app
