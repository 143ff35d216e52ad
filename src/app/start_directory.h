#pragma once
// The start directory: the current directory when the program starts. Every file of the
// program lives there and is opened by joining its name to it, never by changing directory.
#include <string>

namespace app {

// The current directory, or "" when it cannot be determined (names then stay relative).
std::string remember_start_directory();

// The path of file_name inside directory.
std::string join_start_directory(const std::string& directory, const std::string& file_name);

}  // namespace app
