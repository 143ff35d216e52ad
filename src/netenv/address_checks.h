#pragma once
// Checks of a module's new IP address or gateway against the address classes and the PC's
// own subnets, with an in-use probe; and the mask conversions of the configuration record.
#include <cstdint>
#include <functional>
#include <string_view>

#include "netenv/adapter_table.h"
#include "netenv/pending_parameters.h"
#include "ui/message_sink.h"

namespace netenv {

// Codes of check_address, by rule.
constexpr int address_used_by_pc = -1;   // 127.0.0.0
constexpr int address_class_d_or_above = -2;
constexpr int address_own = -3;
constexpr int address_subnet_network = -4;
constexpr int address_subnet_broadcast = -5;
constexpr int address_probe_failed = -6;
constexpr int address_in_use = -7;
constexpr int address_broadcast = -8;
constexpr int address_network = -9;
constexpr int address_reserved = -10;

struct AddressCheck {
  const AdapterTable& adapters;
  platform::Ipv4Address selected_row_ip;  // the selected module may keep its own address
  ui::MessageSink& owner;         // shows the class and subnet messages
  ui::MessageSink& main_window;   // shows the probe messages
  // 1 in use, 0 free, negative when the probe cannot run (probe_address_in_use).
  std::function<int(platform::Ipv4Address ip)> probe_address_in_use;
};

// 0 when ip is acceptable as a module address (is_gateway false) or as a gateway
// or remote address (is_gateway true); otherwise shows the failed rule's message
// ("错误提示", warning icon) and returns its code. Only module addresses are probed.
int check_address(const AddressCheck& check, platform::Ipv4Address ip, bool is_gateway);

// Mask of a record's host-bit count: 0.0.0.0 for 0, else NOT(2^n - 1), n at most 24.
platform::Ipv4Address mask_from_host_bits(int host_bits);

// Codes of host_bits_from_mask_text.
constexpr int mask_too_few_dots = -1;
constexpr int mask_bad_last_octet = -2;
constexpr int mask_bad_third_octet = -3;
constexpr int mask_bad_second_octet = -4;
constexpr int mask_too_short = -5;
constexpr std::size_t mask_field_chars = 19;

// Reads the mask field text (its first mask_field_chars characters) into
// pending.host_bits; 0 or a code above. The text is four decimal parts of up to three
// digits, leading zeros allowed, blanks around it ignored; any other text counts as 255.255.255.255;
// 255.255.255.254 sets 0 host bits and still fails.
int host_bits_from_mask_text(std::string_view text, PendingParameters& pending);

}  // namespace netenv
