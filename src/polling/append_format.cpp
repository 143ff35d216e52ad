#include "polling/append_format.h"

#include <cstdarg>
#include <cstdio>

namespace polling {

void append_format(std::string& line, const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  int n = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (n > 0) line.append(text, static_cast<std::size_t>(n) < sizeof text ? static_cast<std::size_t>(n) : sizeof text - 1);
}

}  // namespace polling
