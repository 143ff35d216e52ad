#pragma once
// The last test of a module's new IP, gateway and host bits before they are written: a
// gateway must share the module's subnet (by its mask, or by its address class when the
// mask is 0), and a module that will leave every subnet of this PC is only moved after
// the operator agrees. Addresses in host order.
#include <cstdint>

#include "netenv/adapter_table.h"
#include "ui/message_sink.h"

namespace config {

// What the OK path does next; the refusals have shown their message already.
enum class GatewayVerdict { go_on, refuse_at_ip, refuse_at_gateway, refuse_at_mask, refuse_in_place };

// Mask of the address class of ip: A, B or C (0 for classes D and E).
std::uint32_t class_mask(std::uint32_t ip);

// The first address entry whose subnet holds ip under module_side_mask (0 for the entry's
// own mask), or -1.
int local_subnet_of(const netenv::AdapterTable& adapters, std::uint32_t ip, std::uint32_t module_side_mask);

GatewayVerdict check_gateway(ui::MessageSink& messages, const netenv::AdapterTable& adapters, std::uint32_t module_ip,
                             std::uint32_t gateway, int host_bits);

}  // namespace config
