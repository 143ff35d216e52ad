#include "platform/program_config.h"

#include <string_view>

namespace platform {

namespace {

constexpr std::size_t max_label_chars = 63;
constexpr std::size_t max_quoted_line_bytes = 60;
constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

enum class Section { none, address_services, setup, unknown };

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool has_control_byte(std::string_view line) {
  for (char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t' && c != '\r') || byte == 0x7F) return true;
  }
  return false;
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

Section section_named(std::string_view name) {
  if (same_name(name, "address-services")) return Section::address_services;
  if (same_name(name, "setup")) return Section::setup;
  return Section::unknown;
}

// Index 0..3 of an address-service key A..D, or -1.
int service_index(std::string_view key) {
  if (key.size() != 1) return -1;
  const char c = lower(key[0]);
  return (c >= 'a' && c <= 'd') ? c - 'a' : -1;
}

class Parser {
 public:
  ParsedConfig run(std::string_view text) {
    if (text.starts_with(utf8_byte_order_mark)) text.remove_prefix(utf8_byte_order_mark.size());
    int line_number = 0;
    while (!text.empty() || line_number == 0) {
      const std::size_t end = text.find('\n');
      const std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
      parse_line(++line_number, line);
    }
    return std::move(result_);
  }

 private:
  void parse_line(int number, std::string_view raw) {
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') return;
    if (has_control_byte(line)) return malformed(number, line);
    if (line.front() == '[') {
      if (line.back() != ']') return malformed(number, line);
      section_name_ = std::string(trim(line.substr(1, line.size() - 2)));
      section_ = section_named(section_name_);
      if (section_ == Section::unknown) report(ConfigProblemKind::unknown_section, number, "");
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || trim(line.substr(0, equals)).empty()) return malformed(number, line);
    key_value(number, trim(line.substr(0, equals)), unquote(trim(line.substr(equals + 1))));
  }

  void key_value(int number, std::string_view key, std::string_view value) {
    const std::string key_text(key);
    switch (section_) {
      case Section::unknown: return;  // reported once at its header
      case Section::none: return report(ConfigProblemKind::unknown_key, number, key_text);
      case Section::address_services: {
        const int index = service_index(key);
        if (index < 0) return report(ConfigProblemKind::unknown_key, number, key_text);
        note_duplicate(number, key_text, services_seen_[index]);
        std::string host(value);
        if (!host.empty() && !is_host_name(host)) {
          report(ConfigProblemKind::invalid_host_name, number, key_text);
          host.clear();
        }
        result_.config.address_service_hosts[index] = std::move(host);
        return;
      }
      case Section::setup:
        if (!same_name(key, "password")) return report(ConfigProblemKind::unknown_key, number, key_text);
        note_duplicate(number, key_text, password_seen_);
        result_.config.setup_password = std::string(value);
        return;
    }
  }

  void note_duplicate(int number, const std::string& key, bool& seen) {
    if (seen) report(ConfigProblemKind::duplicate_key, number, key);
    seen = true;
  }

  void malformed(int number, std::string_view line) {
    report(ConfigProblemKind::malformed_line, number, std::string(line.substr(0, max_quoted_line_bytes)));
  }

  void report(ConfigProblemKind kind, int number, std::string key) {
    result_.problems.push_back({kind, number, section_name_, std::move(key)});
  }

  ParsedConfig result_;
  Section section_ = Section::none;
  std::string section_name_;
  std::array<bool, address_service_count> services_seen_{};
  bool password_seen_ = false;
};

}  // namespace

ParsedConfig parse_program_config(std::span<const std::uint8_t> bytes) {
  return Parser().run({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

bool is_host_name(const std::string& text) {
  if (text.empty() || text.size() > max_host_name_chars) return false;
  std::size_t label_chars = 0;
  for (char c : text) {
    if (c == '.') {
      if (label_chars == 0) return false;
      label_chars = 0;
      continue;
    }
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (!allowed || ++label_chars > max_label_chars) return false;
  }
  return label_chars != 0;
}

}  // namespace platform
