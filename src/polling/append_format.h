#pragma once
// printf-style formatting appended to a display line (at most 255 bytes a call).
#include <cstdarg>
#include <string>

namespace polling {

void append_format(std::string& line, const char* format, ...) __attribute__((format(printf, 2, 3)));
void append_vformat(std::string& line, const char* format, va_list arguments) __attribute__((format(printf, 2, 0)));

}  // namespace polling
