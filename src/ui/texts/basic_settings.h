#pragma once
// Texts of the basic settings dialog.

namespace ui::texts {

inline constexpr const char* basic_settings_title = "基本设置";
inline constexpr const char* basic_adapters = "本机现有网络设备:";
inline constexpr const char* basic_local_ip = "本机IP:";
inline constexpr const char* basic_masks = "IP掩码:";
inline constexpr const char* basic_period = "刷新周期:";
inline constexpr const char* basic_period_unit = "ms";
inline constexpr const char* basic_data_file = "数据文件存盘";
inline constexpr const char* basic_repair = "打开修复功能";
inline constexpr const char* basic_remote = "打开远程测试";
inline constexpr const char* basic_server = "启动Server模式";
inline constexpr const char* basic_ok = "确    定";
inline constexpr const char* basic_leave = "退    出";
inline constexpr const char* basic_ppp_device = "%0d-PPP 设备";
inline constexpr const char* no_network_device = "未发现本机网络设备! 请检查本机网络设备安装/开启状态!";

}  // namespace ui::texts
