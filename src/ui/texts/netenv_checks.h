#pragma once
// Messages of the address checks that guard a module's new IP address or gateway.

namespace ui::texts {

inline constexpr const char* address_used_by_pc = "IP地址已被本机使用,请重新输入!";
inline constexpr const char* address_class_d_or_above = "IP地址类别范围错误(>=D类),请重新输入!";
inline constexpr const char* address_reserved = "IP地址为保留地址,请重新输入!";
inline constexpr const char* address_broadcast = "IP地址为广播地址,请重新输入!";
inline constexpr const char* address_network = "IP地址为网名地址,请重新输入!";
inline constexpr const char* address_own = "IP地址为本机地址,请重新输入!";
inline constexpr const char* address_subnet_network = "IP地址为本局域网网名地址,请重新输入!";
inline constexpr const char* address_subnet_broadcast = "IP地址为本局域网广播地址,请重新输入!";
inline constexpr const char* address_probe_failed = "IP 地址检测出现错误，请检查网络设置!";
inline constexpr const char* address_in_use = "此IP地址已被局域网上其他设备使用，请重新输入!";

}  // namespace ui::texts
