#include "platform/socket_error_codes.h"

#include <cstring>

namespace platform {

std::string socket_error_text(int errno_value) {
  const int code = socket_error_code(errno_value);
  std::string text = std::to_string(code);
  if (code != errno_value) return text;
  if (const char* name = ::strerrorname_np(errno_value)) text.append(" (").append(name).append(")");
  return text;
}

}  // namespace platform
