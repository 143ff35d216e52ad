#pragma once
// The last test of a module's new IP, gateway and host bits before they are written: a
// gateway must share the module's subnet (by its mask, or by its address class when the
// mask is 0), and a module that will leave every subnet of this PC is only moved after
// the operator agrees.
#include <cstdint>

#include "netenv/adapter_table.h"
#include "ui/message_sink.h"

namespace config {

// What the OK path does next; the refusals have shown their message already.
enum class GatewayVerdict { go_on, refuse_at_ip, refuse_at_gateway, refuse_at_mask, refuse_in_place };

// The first address entry whose subnet holds ip under module_side_mask (0.0.0.0 for the
// entry's own mask), or -1.
int local_subnet_of(const netenv::AdapterTable& adapters, platform::Ipv4Address ip, platform::Ipv4Address module_side_mask);

GatewayVerdict check_gateway(ui::MessageSink& messages, const netenv::AdapterTable& adapters, platform::Ipv4Address module_ip,
                             platform::Ipv4Address gateway, int host_bits);

}  // namespace config
