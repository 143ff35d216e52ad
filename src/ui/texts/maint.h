#pragma once
// Texts of module repair and of the after-write pause.

namespace ui::texts {

inline constexpr const char* repair_title = "模块修复";
inline constexpr const char* repair_note_head = "说明:  ";
inline constexpr const char* repair_note_purpose = "此功能可对符合如下条件的QV/QT9K模块进行网络参数尝试修复:";
inline constexpr const char* repair_note_hardware = "(注: QV9K另外具有硬件方式恢复缺省设置功能)";
inline constexpr const char* repair_note_condition1 = "1--模块已接入本机所在子网内, 且其网络接口工作正常;";
inline constexpr const char* repair_note_condition2 = "2--模块的网络参数设置有误;";
inline constexpr const char* repair_note_condition3 = "3--使用\"搜索\"未能找到的。";
inline constexpr const char* repair_note_service = "注:  对于使用此功能仍未找到的或其他故障,请联络公司修理.";
inline constexpr const char* repair_mac_prompt = "需输入模块MAC码(在内部网口贴纸上)的后3部分:";
inline constexpr const char* repair_mac_prefix = "00 - 20 - 4A -";
inline constexpr const char* repair_mac_separator = "-";
inline constexpr const char* repair_confirm = "确    认";
inline constexpr const char* repair_leave = "退    出";
inline constexpr const char* repair_bad_character = "字符错误,请重新输入(0-9,A-F,a-f)!";
// printf format: the three typed MAC bytes.
inline constexpr const char* repair_confirm_mac =
    "输入符合规则! MAC码 = 00204A-%02X%02X%02X \r\n请按<确认>键继续,或按<取消>键退出.";
inline constexpr const char* repair_module_missing = "模块不存在! 请检查MAC参数输入是否正确!";
inline constexpr const char* repair_setup_failed = "模块存在! 但其参数无法修复, 请返厂检修!";
inline constexpr const char* repair_no_free_address = "本机子网可用主机地址空间不足! 请检查本机网络参数设置!";
inline constexpr const char* repair_network_error = "网络操作出现错误! 请检查网络参数设置!";
// Shown once when the presence probe cannot run for want of a raw socket.
inline constexpr const char* repair_raw_right_missing =
    "缺少原始套接字权限 (CAP_NET_RAW): 无法确认模块是否已在线, 将直接为其分配地址.\r\n"
    "请以root运行, 或: setcap cap_net_raw+ep quorvane";

// The after-write pause of the main window.
inline constexpr const char* parameters_written = "模块参数修改完毕!\r\n请等待8-10秒后,再进行其他操作.";

}  // namespace ui::texts
