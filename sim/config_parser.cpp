#include "config_parser.h"

#include <arpa/inet.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace sim {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Decimal, or hexadecimal with 0x (base 0), or plain hexadecimal (base 16).
bool parse_unsigned(std::string_view text, int base, unsigned long max, unsigned long& out) {
  const std::string s(text);
  if (s.empty() || s[0] == '-' || s[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long v = std::strtoul(s.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "C0 07", "c007" or "11 22 33": hexadecimal bytes, blanks between bytes allowed.
bool parse_hex_bytes(std::string_view text, std::vector<std::uint8_t>& out) {
  out.clear();
  int high = -1;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (high >= 0) return false;
      continue;
    }
    const int d = hex_digit(c);
    if (d < 0) return false;
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<std::uint8_t>(high * 16 + d));
      high = -1;
    }
  }
  return high < 0 && !out.empty();
}

bool parse_ipv4(std::string_view text, Ipv4& out) {
  in_addr a{};
  if (inet_pton(AF_INET, std::string(text).c_str(), &a) != 1) return false;
  const auto* b = reinterpret_cast<const std::uint8_t*>(&a.s_addr);  // network order
  for (int i = 0; i < 4; ++i) out[i] = b[i];
  return true;
}

bool parse_mac(std::string_view text, Mac& out) {
  if (text.size() != 17) return false;
  for (int i = 0; i < 6; ++i) {
    const int h = hex_digit(text[i * 3]);
    const int l = hex_digit(text[i * 3 + 1]);
    if (h < 0 || l < 0) return false;
    if (i < 5 && text[i * 3 + 2] != ':' && text[i * 3 + 2] != '-') return false;
    out[i] = static_cast<std::uint8_t>(h * 16 + l);
  }
  return true;
}

bool parse_bool(std::string_view text, bool& out) {
  const std::string v = lower(text);
  if (v == "yes" || v == "true" || v == "on" || v == "1") {
    out = true;
    return true;
  }
  if (v == "no" || v == "false" || v == "off" || v == "0") {
    out = false;
    return true;
  }
  return false;
}

bool parse_double(std::string_view text, double& out) {
  const std::string s(text);
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return *end == '\0';
}

// A reading, or "none" for the not-available marker.
bool parse_reading(std::string_view text, double min, double max, std::optional<double>& out) {
  if (lower(text) == "none") {
    out.reset();
    return true;
  }
  double v = 0;
  if (!parse_double(text, v) || v < min || v > max) return false;
  out = v;
  return true;
}

template <typename T>
bool parse_number(std::string_view text, T& out, int base = 0) {
  unsigned long v = 0;
  if (!parse_unsigned(text, base, static_cast<unsigned long>(T(~T(0))), v)) return false;
  out = static_cast<T>(v);
  return true;
}

bool parse_work_mode(std::string_view text, std::array<std::uint8_t, 2>& out) {
  static constexpr struct {
    const char* name;
    std::uint8_t b28, b29;
  } modes[] = {{"tcp", 0xC0, 0}, {"udp", 0xCC, 1}, {"snmp", 0xCC, 2}, {"audp", 0xCC, 3}, {"atcp", 0xC0, 4}};
  const std::string v = lower(text);
  for (const auto& m : modes) {
    if (v == m.name) {
      out = {m.b28, m.b29};
      return true;
    }
  }
  return false;
}

bool parse_record_patch(std::string_view text, RecordPatch& out) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  unsigned long offset = 0;
  if (!parse_unsigned(trim(text.substr(0, colon)), 0, record_size_bytes - 1, offset)) return false;
  if (!parse_hex_bytes(text.substr(colon + 1), out.bytes)) return false;
  out.offset = offset;
  return out.offset + out.bytes.size() <= record_size_bytes;
}

bool parse_length(std::string_view text, std::optional<std::size_t>& out) {
  unsigned long v = 0;
  if (!parse_unsigned(text, 0, 1400, v)) return false;
  out = v;
  return true;
}

bool parse_command_byte(std::string_view text, std::optional<std::uint8_t>& out) {
  std::uint8_t v = 0;
  if (!parse_number(text, v, 16)) return false;
  out = v;
  return true;
}

using Setter = std::function<bool(ModuleConfig&, std::string_view)>;

const std::map<std::string, Setter>& setters() {
  static const std::map<std::string, Setter> table = {
      {"mac", [](ModuleConfig& m, std::string_view v) { return parse_mac(v, m.mac); }},
      {"device_type",
       [](ModuleConfig& m, std::string_view v) {
         if (v.size() != 2) return false;
         m.device_type = {v[0], v[1]};
         return true;
       }},
      {"bind", [](ModuleConfig& m, std::string_view v) { return parse_ipv4(v, m.bind); }},
      {"ip", [](ModuleConfig& m, std::string_view v) { return parse_ipv4(v, m.ip); }},
      {"host_bits", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.host_bits); }},
      {"gateway", [](ModuleConfig& m, std::string_view v) { return parse_ipv4(v, m.gateway); }},
      {"baud_code", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.baud_code); }},
      {"port", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.port); }},
      {"server_port", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.server_port); }},
      {"server_ip", [](ModuleConfig& m, std::string_view v) { return parse_ipv4(v, m.server_ip); }},
      {"work_mode", [](ModuleConfig& m, std::string_view v) { return parse_work_mode(v, m.mode_bytes); }},
      {"mode_bytes",
       [](ModuleConfig& m, std::string_view v) {
         std::vector<std::uint8_t> b;
         if (!parse_hex_bytes(v, b) || b.size() != 2) return false;
         m.mode_bytes = {b[0], b[1]};
         return true;
       }},
      {"firmware_level", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.firmware_level); }},
      {"snmp_byte", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.snmp_byte); }},
      {"module_code", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.module_code); }},
      {"upload_interval", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.upload_interval); }},
      {"upload_interval_ms",
       [](ModuleConfig& m, std::string_view v) {
         return parse_number(v, m.upload_interval_ms) && m.upload_interval_ms > 0 && m.upload_interval_ms <= 3600000;
       }},
      {"server_by_name", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.server_by_name); }},
      {"dns_ip", [](ModuleConfig& m, std::string_view v) { return parse_ipv4(v, m.dns_ip); }},
      {"server_name",
       [](ModuleConfig& m, std::string_view v) {
         if (v.size() > 40) return false;
         m.server_name = std::string(v);
         return true;
       }},
      {"record_bytes",
       [](ModuleConfig& m, std::string_view v) {
         RecordPatch p;
         if (!parse_record_patch(v, p)) return false;
         m.record_patches.push_back(std::move(p));
         return true;
       }},
      {"temperature",
       [](ModuleConfig& m, std::string_view v) { return parse_reading(v, -127.9375, 127.9375, m.temperature_c); }},
      {"humidity",
       [](ModuleConfig& m, std::string_view v) { return parse_reading(v, 0, 6553.4, m.humidity_percent); }},
      {"digital_inputs",
       [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.digital_inputs) && m.digital_inputs < 64; }},
      {"firmware_d1", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.firmware_d1); }},
      {"capability_d7", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.capability_d7); }},
      {"snmp_name",
       [](ModuleConfig& m, std::string_view v) {
         if (v.size() > 60) return false;
         m.snmp_name = std::string(v);
         return true;
       }},
      {"no_device_reply", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.device_reply.silent); }},
      {"no_config_reply", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.config_reply.silent); }},
      {"silent_device_queries",
       [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.device_reply.silent_first); }},
      {"device_reply_length",
       [](ModuleConfig& m, std::string_view v) { return parse_length(v, m.device_reply.length_bytes); }},
      {"config_reply_length",
       [](ModuleConfig& m, std::string_view v) { return parse_length(v, m.config_reply.length_bytes); }},
      {"device_reply_command",
       [](ModuleConfig& m, std::string_view v) { return parse_command_byte(v, m.device_reply.command); }},
      {"config_reply_command",
       [](ModuleConfig& m, std::string_view v) { return parse_command_byte(v, m.config_reply.command); }},
      {"reply_delay_ms",
       [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.reply_delay_ms) && m.reply_delay_ms <= 60000; }},
      {"answered_queries", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.answered_queries); }},
      {"silent_requests", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.silent_requests); }},
      {"data_reply_length",
       [](ModuleConfig& m, std::string_view v) { return parse_length(v, m.data_reply_length_bytes); }},
      {"bad_lrc", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.bad_lrc); }},
      {"lower_case_hex", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.lower_case_hex); }},
      {"refuse_tcp", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.refuse_tcp); }},
      {"oversize_before_reply",
       [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.oversize_before_reply); }},
      {"empty_udp_reply", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.empty_udp_reply); }},
      {"half_close_tcp", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.half_close_tcp); }},
      {"no_presence_answer", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.no_presence_answer); }},
      {"restart_delay_ms",
       [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.restart_delay_ms) && m.restart_delay_ms <= 60000; }},
      {"no_set_ack", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.no_set_ack); }},
      {"set_ack_source",
       [](ModuleConfig& m, std::string_view v) {
         Ipv4 a{};
         if (!parse_ipv4(v, a)) return false;
         m.set_ack_source = a;
         return true;
       }},
      {"wireless_reply_length",
       [](ModuleConfig& m, std::string_view v) {
         return parse_number(v, m.wireless_reply_length_bytes) && m.wireless_reply_length_bytes <= 1400;
       }},
      {"wireless_bad_checksum", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.wireless_bad_checksum); }},
      {"wireless_stale_replies",
       [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wireless_stale_replies) && m.wireless_stale_replies <= 10; }},
      {"no_wireless_ack", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.no_wireless_ack); }},
      {"wifi_ssid",
       [](ModuleConfig& m, std::string_view v) {
         if (v.empty() || v.size() > 32) return false;
         m.wifi.ssid = std::string(v);
         return true;
       }},
      {"wifi_adhoc", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.wifi.adhoc); }},
      {"wifi_channel", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wifi.channel) && m.wifi.channel < 16; }},
      {"wifi_security", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wifi.suite) && m.wifi.suite < 4; }},
      {"wifi_auth", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wifi.auth) && m.wifi.auth < 8; }},
      {"wifi_method", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wifi.method) && m.wifi.method < 8; }},
      {"wifi_key_index", [](ModuleConfig& m, std::string_view v) { return parse_number(v, m.wifi.key_index); }},
      {"wifi_hex_key",
       [](ModuleConfig& m, std::string_view v) {
         m.wifi.key_type = 0;
         return parse_hex_bytes(v, m.wifi.key) && m.wifi.key.size() <= 32;
       }},
      {"wifi_passphrase",
       [](ModuleConfig& m, std::string_view v) {
         m.wifi.key_type = 1;
         m.wifi.key.assign(v.begin(), v.end());
         return v.size() <= 64;
       }},
      {"setup_password",
       [](ModuleConfig& m, std::string_view v) {
         m.setup_password = std::string(v);
         return !v.empty() && v.size() <= 16;
       }},
      {"no_password_prompt", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.no_password_prompt); }},
      {"short_menu", [](ModuleConfig& m, std::string_view v) { return parse_bool(v, m.short_menu); }},
  };
  return table;
}

std::string where(const std::string& file_name, int line) {
  return file_name + ":" + std::to_string(line);
}

}  // namespace

ConfigParseResult parse_config_text(std::string_view text, const std::string& file_name) {
  ConfigParseResult result;
  std::vector<bool> has_mac;
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const auto eol = text.find('\n');
    const std::string_view raw = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line == "[module]") {
      result.modules.emplace_back();
      result.modules.back().source = where(file_name, line_number);
      has_mac.push_back(false);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
      result.error = where(file_name, line_number) + ": expected \"key = value\" or \"[module]\"";
      return result;
    }
    const std::string key(trim(line.substr(0, eq)));
    const std::string_view value = trim(line.substr(eq + 1));
    if (result.modules.empty()) {
      result.error = where(file_name, line_number) + ": \"" + key + "\" before the first [module]";
      return result;
    }
    const auto setter = setters().find(key);
    if (setter == setters().end()) {
      result.error = where(file_name, line_number) + ": unknown key \"" + key + "\"";
      return result;
    }
    if (!setter->second(result.modules.back(), value)) {
      result.error = where(file_name, line_number) + ": bad value for " + key + ": \"" + std::string(value) + "\"";
      return result;
    }
    if (key == "mac") has_mac.back() = true;
  }
  for (std::size_t i = 0; i < result.modules.size(); ++i) {
    if (!has_mac[i]) {
      result.error = result.modules[i].source + ": [module] without mac";
      return result;
    }
  }
  if (result.modules.empty()) result.error = file_name + ": no [module] section";
  return result;
}

}  // namespace sim
