#pragma once
// Messages of the module search.

namespace ui::texts {

inline constexpr const char* search_network_access_error = "网络访问出现错误，请检查网络设置!";
inline constexpr const char* search_error_device_pass = "未发现模块或网络操作出现错误1 !";
inline constexpr const char* search_error_configuration_pass = "未发现模块或网络操作出现错误2 !";
inline constexpr const char* search_error_device_retry = "未发现模块或网络操作出现错误3 !";
inline constexpr const char* search_error_configuration_retry = "未发现模块或网络操作出现错误4 !";
inline constexpr const char* search_incomplete = "数据读取不全，请重新搜索一次!";

}  // namespace ui::texts
