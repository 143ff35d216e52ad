#pragma once
// Texts of the main window: title, captions of its buttons and lists, its messages.

namespace ui::texts {

inline constexpr const char* window_title = "Quorvane  2016.07.20 -- V2.80";

inline constexpr const char* button_parameter_settings = "参数设定";
inline constexpr const char* button_module_repair = "模块修复";
inline constexpr const char* button_remote_test = "远程测试";
inline constexpr const char* button_exit = "退    出";
inline constexpr const char* button_stop = "停    止";
inline constexpr const char* button_start_initial = "启    动";
inline constexpr const char* button_start = "启   动";
inline constexpr const char* button_start_server = "Server启动";
inline constexpr const char* button_search = "搜    索";
inline constexpr const char* button_basic_settings = "基本设置";

inline constexpr const char* head_module_number = "序号 -- IP地址";
inline constexpr const char* head_local_address = "[  本机地址  ]";
inline constexpr const char* head_mac = "-- MAC地址 --";
inline constexpr const char* head_parameters = "参数:PORT - < GATEWAY/MASK >";
inline constexpr const char* head_data = "序号 ---- 数据";

inline constexpr const char* screen_too_small = "Your Screen size must >= 1024 X 768!";
inline constexpr const char* settings_read_failed = "配置读取错误，调用缺省配置!";
inline constexpr const char* settings_write_failed = "配置保存错误!";
inline constexpr const char* local_network_error = "本机网络操作出现错误(%0d), 请检查本机网络设置!";
inline constexpr const char* search_first = "请先运行<搜索>,查找模块!";
inline constexpr const char* active_module_present =
    "提示: 有主动上传模式模块存在!\r\n可选择: <基本设置> --> <启动Server模式>\r\n进行上传数据接收测试.";
inline constexpr const char* polling_open_failed = "模块不存在或出现错误，请检查网络设置!";
inline constexpr const char* parameters_done = "模块参数修改完毕!\r\n请等待8-10秒后,再进行其他操作.";

}  // namespace ui::texts
