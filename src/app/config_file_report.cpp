#include "app/config_file_report.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "ui/texts.h"

namespace app {

namespace {

// printf into a string of any length: a path or a quoted line may be long.
__attribute__((format(printf, 2, 3))) void append_format(std::string& text, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.append(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
}

void append_problem(std::string& text, const platform::ConfigProblem& problem) {
  using Kind = platform::ConfigProblemKind;
  const char* section = problem.section.c_str();
  const char* key = problem.key.c_str();
  text += "\n";
  switch (problem.kind) {
    case Kind::unreadable: text += ui::texts::config_file_unreadable; break;
    case Kind::unknown_section: append_format(text, ui::texts::config_unknown_section, problem.line, section); break;
    case Kind::unknown_key: append_format(text, ui::texts::config_unknown_key, problem.line, section, key); break;
    case Kind::malformed_line: append_format(text, ui::texts::config_malformed_line, problem.line, key); break;
    case Kind::invalid_host_name:
      append_format(text, ui::texts::config_invalid_host_name, problem.line, section, key);
      break;
    case Kind::duplicate_key: append_format(text, ui::texts::config_duplicate_key, problem.line, section, key); break;
  }
}

}  // namespace

std::string config_problems_text(const platform::LoadedConfig& loaded) {
  const auto& problems = loaded.parsed.problems;
  if (problems.empty()) return "";
  std::string text;
  append_format(text, ui::texts::config_file_heading, loaded.path.c_str());
  const int count = static_cast<int>(problems.size());
  for (int i = 0; i < count && i < max_listed_config_problems; ++i) append_problem(text, problems[i]);
  if (count > max_listed_config_problems) {
    text += "\n";
    append_format(text, ui::texts::config_more_problems, count - max_listed_config_problems);
  }
  return text;
}

void report_config_problems(const platform::LoadedConfig& loaded, ui::MessageSink& messages) {
  const std::string text = config_problems_text(loaded);
  if (!text.empty()) messages.warn(ui::texts::caption_error, text);
}

}  // namespace app
