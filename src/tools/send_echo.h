#pragma once
// One echo request, nothing awaited: what the captured-reply probe sends (defined with the
// probes, in icmp_probe.cpp).
#include <cstdint>

#include "netenv/adapter_table.h"
#include "tools/icmp_probe.h"

namespace tools {

// Codes of send_echo.
constexpr int send_echo_open_failed = -1;
constexpr int send_echo_send_failed = -2;
constexpr int send_echo_not_permitted = -3;  // the process lacks CAP_NET_RAW

// One echo request with sequence 0 from entry to target. Returns 0 or a code above.
int send_echo(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, platform::Ipv4Address target);

}  // namespace tools
