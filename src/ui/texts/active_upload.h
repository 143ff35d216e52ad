#pragma once
// Texts of the active-upload parameter dialog: the receiver, port, module code and interval.

namespace ui::texts {

inline constexpr const char* upload_title = "主动上传模式参数设置:";
inline constexpr const char* upload_type_group = "接收端(Server) IP类型:";
inline constexpr const char* upload_ip_mode = "IP 模式";
inline constexpr const char* upload_name_mode = "域名模式";
inline constexpr const char* upload_server_ip = "接收端IP:";
inline constexpr const char* upload_dns_ip = "DNS IP:";
inline constexpr const char* upload_domain = "域名:";
inline constexpr const char* upload_port = "使用端口:";
inline constexpr const char* upload_module_code = "模块编码:";
inline constexpr const char* upload_module_code_hint = "(0->FFFFH)";
inline constexpr const char* upload_interval = "上传间隔:";
inline constexpr const char* upload_interval_hint = "(0-255) x 5 + 5 S";
inline constexpr const char* upload_ok = "确定";
inline constexpr const char* upload_leave = "退出";
inline constexpr const char* upload_defaults = "使用默认值";

inline constexpr const char* ip_structure_error = "IP地址结构(x.x.x.x)错误，请重新输入!";
inline constexpr const char* ip_input_error = "IP地址输入错误,请重新输入!";
inline constexpr const char* upload_server_ip_zero = "SERVER IP地址输入错误,请重新输入!";
inline constexpr const char* upload_dns_ip_zero = "SERVER DNSIP地址输入错误,请重新输入!";
inline constexpr const char* upload_domain_length = "域名长度错误(应为: 1-39个字符)! 请重新输入!";
inline constexpr const char* upload_port_range = "PORT参数需在1000-65533范围内!";
inline constexpr const char* upload_code_length = "ID输入字符长度有误(= 4),请重新输入!";
inline constexpr const char* upload_code_characters = "ID输入字符有误(必须是: a-f,A-F,0-9),请重新输入!";
inline constexpr const char* upload_interval_range = "参数需在0-255范围内!";

// The parameter dialog's reminder when an active-upload mode was chosen without a visit here.
inline constexpr const char* upload_confirm_first = "请按 <主动上传参数...> 键，确认各项参数!";

}  // namespace ui::texts
