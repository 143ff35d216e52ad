#pragma once
// Texts of the wireless parameter dialog.

namespace ui::texts {

inline constexpr const char* wireless_title = "无线参数:";
inline constexpr const char* wireless_ssid = "网络标识(SSID):";
inline constexpr const char* wireless_ssid_hint = "(1-32 个字符)";
inline constexpr const char* wireless_topology_group = "网络架构(Topology):";
inline constexpr const char* wireless_adhoc = "无基站网络(Ad-hoc)";
inline constexpr const char* wireless_infrastructure = "有基站网络(Infrastructure)";
inline constexpr const char* wireless_channel = "Ad-hoc 信道:";
inline constexpr const char* wireless_channel_hint = "(1-14)";
inline constexpr const char* wireless_auth_group = "认证(Auth.):";
inline constexpr const char* wireless_open = "Open";
inline constexpr const char* wireless_shared = "Shared";
inline constexpr const char* wireless_key_index_group = "WEP-Key序号:";
inline constexpr const char* wireless_key_index[4] = {"序号1", "序号2", "序号3", "序号4"};
inline constexpr const char* wireless_suite_group = "加密类别(Sec. Suite):";
inline constexpr const char* wireless_suite[4] = {"无(None)", "WEP", "WPA_PSK", "WPA2_PSK"};
inline constexpr const char* wireless_method_group = "加密方法(method):";
inline constexpr const char* wireless_method[5] = {"None", "WEP64", "WEP128", "TKIP", "CCMP(AES)"};
inline constexpr const char* wireless_key_type_group = "密钥类型(Key Type):";
inline constexpr const char* wireless_hex = "16进制数(hex)";
inline constexpr const char* wireless_passphrase = "密码短语(passphrase)";
inline constexpr const char* wireless_key = "密钥(KeyInput):";
inline constexpr const char* wireless_hex_hint = "hex格式:  WEP64/128: 10/26hex; WPA/2: 64hex";
inline constexpr const char* wireless_passphrase_hint = "passphrase格式:  8-63 chars";
inline constexpr const char* wireless_ok = "确定";
inline constexpr const char* wireless_cancel = "取消";
inline constexpr const char* wireless_defaults = "恢复缺省值";

inline constexpr const char* wireless_ssid_error = "SSID输入错误,请重新输入!";
inline constexpr const char* wireless_channel_error = "AD-HOC 信道输入错误,请重新输入!";
inline constexpr const char* wireless_hex_length = "HEX字符输入长度有误(%2d个!),请重新输入!";
inline constexpr const char* wireless_hex_characters = "HEX字符输入类型有误(必须是: A-F，a-f，0-9),请重新输入!";
inline constexpr const char* wireless_passphrase_length = "字符输入长度有误(8-63个!),请重新输入!";
inline constexpr const char* wireless_passphrase_characters = "字符输入类型有误(必须是: 可显示字符),请重新输入!";

// Defaults of "恢复缺省值".
inline constexpr const char* wireless_default_ssid = "QV90WIFI";

}  // namespace ui::texts
