#pragma once
// The message about problems in the site configuration file (caption_error, warning icon):
// a heading naming the file, then one line per problem, printf formats.

namespace ui::texts {

inline constexpr const char* config_file_heading = "配置文件 %s:";
inline constexpr const char* config_file_unreadable = "无法读取, 未使用任何设置";
inline constexpr const char* config_unknown_section = "第%d行: 未知的节 [%s], 其中的键都被忽略";
inline constexpr const char* config_unknown_key = "第%d行: 未知的键 [%s] %s, 已忽略";
inline constexpr const char* config_malformed_line = "第%d行: 无法识别的行 \"%s\", 已忽略";
inline constexpr const char* config_invalid_host_name = "第%d行: [%s] %s 不是有效的主机名, 该服务不使用";
inline constexpr const char* config_duplicate_key = "第%d行: [%s] %s 重复出现, 使用此处的值";
inline constexpr const char* config_more_problems = "另有 %d 处问题未列出";

}  // namespace ui::texts
