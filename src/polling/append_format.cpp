#include "polling/append_format.h"

#include <algorithm>
#include <cstdio>

namespace polling {

void append_format(std::string& line, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  append_vformat(line, format, arguments);
  va_end(arguments);
}

void append_vformat(std::string& line, const char* format, va_list arguments) {
  char text[256];
  int n = std::vsnprintf(text, sizeof text, format, arguments);
  if (n > 0) line.append(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
}

}  // namespace polling
