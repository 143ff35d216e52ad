#include "config/gateway_check.h"

#include <string>

#include "netenv/address_checks.h"
#include "ui/texts.h"

namespace config {
namespace {

namespace t = ui::texts;

GatewayVerdict refuse(ui::MessageSink& messages, const std::string& text, GatewayVerdict verdict) {
  messages.warn(t::caption_error, text);
  return verdict;
}

bool yes(ui::MessageSink& messages, const char* caption, const char* text) {
  return messages.show_message(caption, text, ui::Icon::warning, ui::Buttons::yes_no) == ui::Answer::yes;
}

}  // namespace

int local_subnet_of(const netenv::AdapterTable& adapters, platform::Ipv4Address ip, platform::Ipv4Address module_side_mask) {
  for (int k = 0; k < adapters.address_count; ++k) {
    const netenv::AddressEntry& entry = adapters.addresses[static_cast<std::size_t>(k)];
    if ((ip & (module_side_mask.is_zero() ? entry.mask : module_side_mask)) == entry.network()) return k;
  }
  return -1;
}

GatewayVerdict check_gateway(ui::MessageSink& messages, const netenv::AdapterTable& adapters, platform::Ipv4Address m,
                             platform::Ipv4Address g, int host_bits) {
  if (g.is_zero()) return GatewayVerdict::go_on;
  if (m == g) return refuse(messages, std::string(t::gateway_equals_ip) + t::gateway_advice, GatewayVerdict::refuse_at_ip);
  if (host_bits != 0) {
    const platform::Ipv4Address k = netenv::mask_from_host_bits(host_bits);
    if ((m & k) != (g & k)) return refuse(messages, t::mask_mismatch, GatewayVerdict::refuse_at_mask);
    const int local = local_subnet_of(adapters, m, {});
    if (local >= 0) {
      const platform::Ipv4Address adapter_mask = adapters.addresses[static_cast<std::size_t>(local)].mask;
      if (k > adapter_mask)
        return refuse(messages, std::string(t::mask_wider_than_local) + t::mask_advice, GatewayVerdict::refuse_at_mask);
      return GatewayVerdict::go_on;
    }
    const ui::Answer answer =
        messages.show_message(t::caption_notice, t::outside_all_subnets, ui::Icon::warning, ui::Buttons::ok_cancel);
    return answer == ui::Answer::ok ? GatewayVerdict::go_on : GatewayVerdict::refuse_in_place;
  }
  if (m.is_zero()) return yes(messages, t::caption_error, t::zero_ip_gateway) ? GatewayVerdict::refuse_at_gateway : GatewayVerdict::go_on;
  if (m.octet(0) != g.octet(0))
    return refuse(messages, std::string(t::gateway_other_class) + t::gateway_advice, GatewayVerdict::refuse_at_ip);
  const platform::Ipv4Address c = platform::class_mask(m);
  if ((m & c) != (g & c))
    return refuse(messages, std::string(t::gateway_other_subnet) + t::gateway_advice, GatewayVerdict::refuse_at_ip);
  if (local_subnet_of(adapters, m, c) >= 0) return GatewayVerdict::go_on;
  return yes(messages, t::caption_error, t::gateway_not_local) ? GatewayVerdict::refuse_at_ip : GatewayVerdict::go_on;
}

}  // namespace config
