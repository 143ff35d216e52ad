#pragma once
// A file replaced whole or not at all: the new content goes to a temporary file beside it,
// which commit() flushes to the disk and renames over the old one. Until then, and after
// any failure, the old file stays as it was; an uncommitted temporary file is removed.
#include <string>

#include "app/output_file.h"

namespace app {

class ReplacingFile final : public ByteSink {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile() override;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False when the temporary file could not be created (a read-only directory, say), or
  // when path names something other than a file.
  bool is_open() const { return fd_ >= 0; }
  bool write_all(std::span<const std::uint8_t> bytes) override;
  // fsync, rename over the old file, fsync the directory; false when the old file stays.
  bool commit();

 private:
  void discard();

  std::string path_;
  std::string temporary_path_;
  int fd_ = -1;
};

}  // namespace app
