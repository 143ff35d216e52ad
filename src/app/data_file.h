#pragma once
// The data file: an optional text snapshot of both main-window lists, written at Exit into
// the start directory and named after the local minute, so a second Exit in the same
// minute overwrites it. Lines end with CR LF.
#include <ctime>
#include <string>
#include <vector>

#include "app/output_file.h"
#include "ui/message_sink.h"

namespace app {

// "%4d_%02d_%02d_%02d_%02d.txt" from the year, month, day, hour and minute of now.
std::string data_file_name(const std::tm& now);

// Writes the snapshot into the data file named after now in directory, replacing a file of
// that name whole or not at all. Shows "save file err" when the temporary file cannot be
// created, "rename file err" when it cannot be flushed or renamed; false on any failure.
bool write_data_file(const std::string& directory, const std::tm& now, const std::vector<std::string>& module_lines,
                     const std::vector<std::string>& data_lines, ui::MessageSink& messages);

// Writes the snapshot, one piece per line: header, module lines, data header, data lines.
// The first piece not written whole shows the message of its stage ("write file err1" to
// "write file err4") and ends the writing; false then.
bool write_data_file(ByteSink& file, const std::vector<std::string>& module_lines,
                     const std::vector<std::string>& data_lines, ui::MessageSink& messages);

}  // namespace app
