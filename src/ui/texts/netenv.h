#pragma once
// Texts of the local network environment.

namespace ui::texts {

// Small-subnet warning of the Adapter table, one paragraph per entry:
// prefix, "address/mask\r\n", advice.
inline constexpr const char* small_subnet_prefix = "本机此组参数: IP/MASK=";
inline constexpr const char* small_subnet_advice = "下可配置的主机(QV/QT9K模块)地址数量过少(<=2)!\r\n建议重新设置此组参数!\r\n";

}  // namespace ui::texts
