#pragma once
// Standard output for scripts: each line written and flushed at once (so a reader can
// tail it); once the reader has gone (a closed pipe) every write is refused quietly.
#include <cstdio>
#include <string>

namespace cli {

class OutputStream {
 public:
  // CSV lines end in CR LF, as RFC 4180 has them; the other formats in LF.
  OutputStream(std::FILE* file, const char* line_end) : file_(file), line_end_(line_end) {}
  // False once the output is closed.
  bool line(const std::string& text);
  bool closed() const { return closed_; }

 private:
  std::FILE* file_;
  const char* line_end_;
  bool closed_ = false;
};

}  // namespace cli
