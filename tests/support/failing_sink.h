#pragma once
// A ByteSink that keeps what it is given and fails its write number fail_at (counted from
// 1; 0 never fails), to walk the error path of each stage of a file writer.
#include <string>

#include "app/output_file.h"

namespace test {

class FailingSink : public app::ByteSink {
 public:
  explicit FailingSink(int fail_at) : fail_at_(fail_at) {}

  bool write_all(std::span<const std::uint8_t> bytes) override {
    if (++writes == fail_at_) return false;
    written.append(bytes.begin(), bytes.end());
    return true;
  }

  int writes = 0;
  std::string written;

 private:
  int fail_at_;
};

}  // namespace test
