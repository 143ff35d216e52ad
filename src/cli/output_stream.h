#pragma once
// Standard output for scripts: each line written and flushed at once (so a reader can
// tail it); once the reader has gone (a closed pipe) every write is refused quietly.
#include <cstdio>
#include <string>

namespace cli {

class OutputStream {
 public:
  explicit OutputStream(std::FILE* file) : file_(file) {}
  // False once the output is closed.
  bool line(const std::string& text);
  bool closed() const { return closed_; }

 private:
  std::FILE* file_;
  bool closed_ = false;
};

}  // namespace cli
