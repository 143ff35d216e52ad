#include "config/dialog_fields.h"

#include <algorithm>


namespace config {

std::string first_chars(const std::string& text, std::size_t max_chars) { return text.substr(0, max_chars); }

long read_number(const std::string& text, bool is_signed) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  const bool negative = is_signed && text[i] == '-';
  if (negative) ++i;
  if (i == text.size()) return 0;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = std::min(value * 10 + (text[i] - '0'), 999999999L);
  }
  return negative ? -value : value;
}

int read_address_field(const std::string& field, platform::Ipv4Address& address) {
  const std::string text = first_chars(field, address_field_chars);
  if (std::count(text.begin(), text.end(), '.') < 3) return address_structure_error;
  // The broadcast address is what the conversion reports for a failure: it counts as one.
  const std::optional<platform::Ipv4Address> parsed = platform::Ipv4Address::parse(text);
  if (!parsed || *parsed == ~platform::Ipv4Address{}) return address_not_convertible;
  address = *parsed;
  return 0;
}

}  // namespace config
