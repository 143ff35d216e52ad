#pragma once
// Messages of the settings file and the data file, all shown with caption_file_error.

namespace ui::texts {

inline constexpr const char* read_path_error = "read file path1 err";
inline constexpr const char* write_cfg_error = "write cfg err!";
inline constexpr const char* write_path_error = "write path err";
inline constexpr const char* replace_cfg_error = "rename cfg err!";    // new file not flushed or renamed

inline constexpr const char* save_file_error = "save file err";
inline constexpr const char* write_file_error1 = "write file err1";  // data file header line
inline constexpr const char* write_file_error2 = "write file err2";  // a module-list line
inline constexpr const char* write_file_error3 = "write file err3";  // data header line
inline constexpr const char* write_file_error4 = "write file err4";  // a data-list line
inline constexpr const char* replace_file_error = "rename file err";  // new file not flushed or renamed

}  // namespace ui::texts
