#pragma once
// Captions shared by every message box.

namespace ui::texts {

inline constexpr const char* caption_error = "错误提示";
inline constexpr const char* caption_notice = "系统提示";
inline constexpr const char* caption_file_error = "ERROR!";

}  // namespace ui::texts
