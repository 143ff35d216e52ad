#pragma once
// Texts of the remote test: its dialog and the remote-test command of the main window.

namespace ui::texts {

inline constexpr const char* remote_title = "远程测试:";
inline constexpr const char* remote_address_label = "远端模块IP地址:";
inline constexpr const char* remote_ok = "确    认";
inline constexpr const char* remote_leave = "退    出";
inline constexpr const char* remote_not_detected = "此IP地址未检测到网络设备，请重新测试!";
inline constexpr const char* remote_detected = "此IP地址有效! 检测到网络设备!";
inline constexpr const char* remote_read_done = "此IP地址网络设备参数获取成功!";
inline constexpr const char* remote_read_failed_question = "网络设备参数获取失败! 是否尝试手动设置连接方式?";
// Told when the echo probe lacks the right to run: the test goes on with the queries.
inline constexpr const char* remote_raw_right_missing =
    "缺少原始套接字权限 (CAP_NET_RAW): 无法检测此IP地址的网络设备, 将直接读取其参数.\r\n"
    "请以root运行, 或: setcap cap_net_raw+ep quorvane";

// Command 113.
inline constexpr const char* remote_active_module =
    "远程模块为: 主动上传模式，可使用:\r\n<参数设定> --> 修改模块参数；\r\n<基本参数> --> <启动Server模式> 进行测试;";
inline constexpr const char* remote_network_error = "网络操作出现错误，请检查网络设置!";
inline constexpr const char* remote_connect_failed = "无法与远程模块建立连接! 请检查远程IP是否正确!";

}  // namespace ui::texts
