#pragma once
// printf-style formatting appended to a display line.
#include <string>

namespace polling {

void append_format(std::string& line, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace polling
