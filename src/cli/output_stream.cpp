#include "cli/output_stream.h"

namespace cli {

bool OutputStream::line(const std::string& text) {
  if (closed_) return false;
  // SIGPIPE is ignored by main(): a closed pipe shows as a failed write.
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fputs(line_end_, file_) == EOF ||
      std::fflush(file_) != 0) {
    closed_ = true;
    std::clearerr(file_);
  }
  return !closed_;
}

}  // namespace cli
