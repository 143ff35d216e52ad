#pragma once
// Texts of the upload server: its settings dialog, the summary in the module list and the
// log in the data list. Log lines begin with the line number and the local time.

namespace ui::texts {

// Settings dialog.
inline constexpr const char* server_settings_title = "Server(主动上传接收端)设置:";
inline constexpr const char* server_local_ip = "本机IP:";
inline constexpr const char* server_external_ip = "本机外部IP:";
inline constexpr const char* server_address_group = "IP组选择:";
inline constexpr const char* server_ip1 = "IP1";
inline constexpr const char* server_ip2 = "IP2";
inline constexpr const char* server_protocol_group = "协议选择:";
inline constexpr const char* server_tcp = "TCP";
inline constexpr const char* server_udp = "UDP";
inline constexpr const char* server_port = "端口:";
inline constexpr const char* server_raw_data = "显示上传原始数据";
inline constexpr const char* server_ok = "确定";
inline constexpr const char* server_cancel = "取消";
inline constexpr const char* server_lookup_failed = "网络参数获取失败(%d)! 请检查本机网络设置,重新尝试!";
// Told when the lookup's route probes lacked the right to run.
inline constexpr const char* server_lookup_right_missing =
    "缺少原始套接字权限 (CAP_NET_RAW): 无法探测外网路由, 外网IP可能显示为--none--.\r\n"
    "请以root运行, 或: setcap cap_net_raw+ep quorvane";
inline constexpr const char* server_port_range = "PORT设置须在正确范围内(1000->65535)!";

// Start from the main window.
inline constexpr const char* server_start_failed = "Server启动错误，请检查网络设置!";

// Summary banner: head, protocol, addresses, port.
inline constexpr const char* banner_head = "Server: ";
inline constexpr const char* banner_tcp = "TCP; ";
inline constexpr const char* banner_udp = "UDP; ";
inline constexpr const char* banner_addresses = " 内/外IP: ";
inline constexpr const char* banner_addresses_end = "; ";
inline constexpr const char* banner_port = "  PORT:%d; ";
inline constexpr const char* waiting_line = "%02d:%02d:%02d -> 等待上传数据...";

// Summary row: number and time, then the module's identity, address and reception count.
inline constexpr const char* summary_head = "%2d - %02d:%02d:%02d -> MAC: ";
inline constexpr const char* summary_mid = " -- MID: ";
inline constexpr const char* summary_ip = " -- IP: ";
inline constexpr const char* summary_port = " -- PORT: %5d";
inline constexpr const char* summary_count = " -- CNT: %04d";

// Log lines.
inline constexpr const char* peer_address = "%3d.%3d.%3d.%3d";
// The upload log line: its stamp (line number, hours, minutes, seconds), then the event.
inline constexpr const char* log_stamp = "%03d-%02d:%02d:%02d";
inline constexpr const char* log_net_down_on_accept = " -> ERR:(accept --> net down)";
inline constexpr const char* log_connections_full = " -> connections are full!";
inline constexpr const char* log_accept_failed = " -> Accept err: %s";  // socket_error_text
inline constexpr const char* log_come_in_head = "%03d-%02d:%02d:%02d -> sn:%2d/%02d  IP: ";
inline constexpr const char* log_come_in_port = " PORT: %5d";
inline constexpr const char* log_come_in_end = "-> COME IN!";
inline constexpr const char* log_net_down_on_read = " -> sn:%d, ERR:(accept --> read),closed!";
inline constexpr const char* log_read_failed = " -> model:%d,read err:%d!";
inline constexpr const char* log_closed_on_error = " -> sn:%d, ERR(%d)-closed!";
inline constexpr const char* log_closed = " -> model:%d, closed ok(%d)!";
inline constexpr const char* log_udp_read_failed = " -> UDP read err:%d!";
inline constexpr const char* log_tcp_data_head = "%03d-%02d:%02d:%02d -> sn:%2d/%02d, <T: ";
inline constexpr const char* log_udp_data_head = "%03d-%02d:%02d:%02d-> sn:%2d/%02d, <U: ";
inline constexpr const char* log_data_port = "%5d>";
inline constexpr const char* log_readings_gap = "     ";
inline constexpr const char* log_interval = "-- %5.1f";

}  // namespace ui::texts
