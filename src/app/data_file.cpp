#include "app/data_file.h"

#include <cstdio>

#include "app/replacing_file.h"
#include "app/start_directory.h"
#include "ui/texts.h"

namespace app {
namespace {

constexpr const char* module_header = "SN --- IP SETTING----------------------------------------\r\n";
constexpr const char* data_header = "\r\nSN ------------- DATA -----------------------------------\r\n";

bool fail(ui::MessageSink& messages, const char* text) {
  messages.show_message(ui::texts::caption_file_error, text, ui::Icon::none, ui::Buttons::ok);
  return false;
}

bool write_lines(ByteSink& file, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (!file.write_text(line + "\r\n")) return false;
  }
  return true;
}

}  // namespace

std::string data_file_name(const std::tm& now) {
  char name[64];
  std::snprintf(name, sizeof name, "%4d_%02d_%02d_%02d_%02d.txt", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday,
                now.tm_hour, now.tm_min);
  return name;
}

bool write_data_file(const std::string& directory, const std::tm& now, const std::vector<std::string>& module_lines,
                     const std::vector<std::string>& data_lines, ui::MessageSink& messages) {
  ReplacingFile file(join_start_directory(directory, data_file_name(now)));
  if (!file.is_open()) return fail(messages, ui::texts::save_file_error);
  if (!write_data_file(file, module_lines, data_lines, messages)) return false;
  return file.commit() || fail(messages, ui::texts::replace_file_error);
}

bool write_data_file(ByteSink& file, const std::vector<std::string>& module_lines,
                     const std::vector<std::string>& data_lines, ui::MessageSink& messages) {
  if (!file.write_text(module_header)) return fail(messages, ui::texts::write_file_error1);
  if (!write_lines(file, module_lines)) return fail(messages, ui::texts::write_file_error2);
  if (!file.write_text(data_header)) return fail(messages, ui::texts::write_file_error3);
  if (!write_lines(file, data_lines)) return fail(messages, ui::texts::write_file_error4);
  return true;
}

}  // namespace app
