#pragma once
// Messages of the raw-Ethernet layer, one per failing capture step.

namespace ui::texts {

inline constexpr const char* capture_device_list_failed = "自动搜索初始化错误1! 请检查Winpcap是否正确安装!";
inline constexpr const char* capture_no_device = "自动搜索初始化错误! 请检查Winpcap是否正确安装!\r\n";
inline constexpr const char* capture_open_failed = "自动搜索初始化错误3!";
inline constexpr const char* capture_not_ethernet = "自动搜索初始化错误4!";
inline constexpr const char* capture_filter_compile_failed = "自动搜索初始化错误5! 请检查Winpcap是否正确安装!";
inline constexpr const char* capture_filter_set_failed = "自动搜索初始化错误6!";
inline constexpr const char* capture_read_failed = "自动搜索初始化错误7!";
// Added to the open failure when the program lacks the right to capture.
inline constexpr const char* capture_right_missing =
    "\r\n缺少抓包权限 (CAP_NET_RAW): 只能列出回应UDP搜索的模块.\r\n"
    "请以root运行, 或: setcap cap_net_raw+ep quorvane";

}  // namespace ui::texts
