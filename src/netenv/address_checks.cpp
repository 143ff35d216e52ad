#include "netenv/address_checks.h"

#include <algorithm>
#include <span>
#include <string>

#include "ui/texts.h"

namespace netenv {
namespace {

constexpr auto loopback_network = platform::Ipv4Address::from_octets(127, 0, 0, 0);
constexpr std::uint32_t first_class_d_octet = 224;
constexpr std::uint32_t loopback_octet = 127;
constexpr int max_host_bits = 24;
constexpr int mask_dots = 3;
constexpr auto all_ones = platform::Ipv4Address::from_octets(255, 255, 255, 255);
constexpr auto mask_31_bits = platform::Ipv4Address::from_octets(255, 255, 255, 254);
constexpr auto last_octet_masks = platform::Ipv4Address::from_octets(255, 255, 255, 0);
constexpr auto third_octet_masks = platform::Ipv4Address::from_octets(255, 255, 0, 0);
constexpr auto second_octet_masks = platform::Ipv4Address::from_octets(255, 0, 0, 0);

constexpr int mask_parts = 4;
constexpr int max_part_digits = 3;
constexpr std::uint32_t max_part_value = 255;

// A mask as operators and the change record write it: four decimal parts of one to three
// digits (leading zeros allowed, so 255.255.255.000 is /24), blanks around the whole ignored.
bool parse_mask_text(std::string_view text, platform::Ipv4Address& mask) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  std::uint32_t value = 0;
  for (int part = 0; part < mask_parts; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return false;
      text.remove_prefix(1);
    }
    std::uint32_t number = 0;
    int digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9' && digits < max_part_digits) {
      number = number * 10 + static_cast<std::uint32_t>(text.front() - '0');
      text.remove_prefix(1);
      ++digits;
    }
    if (digits == 0 || number > max_part_value) return false;
    value = value << 8 | number;
  }
  if (!text.empty()) return false;
  mask = platform::Ipv4Address::from_host_order(value);
  return true;
}

int refuse(ui::MessageSink& window, const char* text, int code) {
  window.warn(ui::texts::caption_error, text);
  return code;
}

}  // namespace

int check_address(const AddressCheck& check, platform::Ipv4Address ip, bool is_gateway) {
  const std::uint32_t first_octet = ip.octet(0), last_octet = ip.octet(3);
  if (ip == loopback_network) return refuse(check.owner, ui::texts::address_used_by_pc, address_used_by_pc);
  if (ip.is_zero()) return 0;  // the module takes a dynamic address
  if (first_octet >= first_class_d_octet)
    return refuse(check.owner, ui::texts::address_class_d_or_above, address_class_d_or_above);
  if (first_octet == loopback_octet) return refuse(check.owner, ui::texts::address_reserved, address_reserved);
  if (last_octet == 0xFF) return refuse(check.owner, ui::texts::address_broadcast, address_broadcast);
  if (last_octet == 0) return refuse(check.owner, ui::texts::address_network, address_network);

  const AdapterTable& adapters = check.adapters;
  auto entries = std::span(adapters.addresses).first(
      static_cast<std::size_t>(std::clamp(adapters.address_count, 0, max_address_entries)));
  if (!is_gateway && std::any_of(entries.begin(), entries.end(), [ip](const AddressEntry& entry) {
        return entry.ip == ip;
      }))
    return refuse(check.owner, ui::texts::address_own, address_own);
  for (const AddressEntry& entry : entries) {
    if (!platform::same_subnet(ip, entry.ip, entry.mask)) continue;
    const platform::Ipv4Address host_part = ip & ~entry.mask;
    if (host_part.is_zero()) return refuse(check.owner, ui::texts::address_subnet_network, address_subnet_network);
    if (host_part == ~entry.mask) return refuse(check.owner, ui::texts::address_subnet_broadcast, address_subnet_broadcast);
  }

  if (is_gateway) return 0;
  if (ip == check.selected_row_ip) return 0;  // the module keeps its address
  int probed = check.probe_address_in_use(ip);
  if (probed < 0) return refuse(check.main_window, ui::texts::address_probe_failed, address_probe_failed);
  if (probed == 1) return refuse(check.main_window, ui::texts::address_in_use, address_in_use);
  return 0;
}

platform::Ipv4Address mask_from_host_bits(int host_bits) {
  if (host_bits <= 0) return {};
  int bits = std::min(host_bits, max_host_bits);
  return platform::Ipv4Address::from_host_order(~((std::uint32_t{1} << bits) - 1));
}

int host_bits_from_mask_text(std::string_view text, PendingParameters& pending) {
  std::string field(text.substr(0, mask_field_chars));
  if (std::count(field.begin(), field.end(), '.') < mask_dots) return mask_too_few_dots;
  platform::Ipv4Address m;
  if (!parse_mask_text(field, m)) m = all_ones;
  if (m.is_zero() || m == all_ones) {
    pending.host_bits = 0;
    return 0;
  }
  if (m == mask_31_bits) {
    pending.host_bits = 0;
    return mask_bad_last_octet;
  }
  for (int bits = 2; bits <= max_host_bits; ++bits) {
    if (m == mask_from_host_bits(bits)) {
      pending.host_bits = static_cast<std::uint8_t>(bits);
      return 0;
    }
  }
  if (m >= last_octet_masks) return mask_bad_last_octet;
  if (m >= third_octet_masks) return mask_bad_third_octet;
  if (m >= second_octet_masks) return mask_bad_second_octet;
  return mask_too_short;
}

}  // namespace netenv
