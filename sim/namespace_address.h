#pragma once
// Moves the module's own address, as its network namespace holds it, to a new one: the
// interface that holds the current address (or the first one that is up and not loopback)
// loses every IPv4 address and gets the new one, and the default route goes through the
// new gateway (none for 0.0.0.0). Run inside the module's namespace; uses iproute2's `ip`.
#include <string>

#include "module_config.h"

namespace sim {

// prefix_length 1..32. Empty on success, else what failed.
std::string move_namespace_address(const Ipv4& new_address, int prefix_length, const Ipv4& gateway);

// The prefix length a record's host-bit count means (8 host bits: /24); 0 host bits, which
// the record uses for "no mask", keep `current_prefix_length`.
int prefix_length_from_host_bits(int host_bits, int current_prefix_length);

// Adds address/32 beside the module's own (a second source address for replies).
std::string add_namespace_address(const Ipv4& address);

// Prefix length of the IPv4 address on the module's interface, 24 when none is found.
int current_prefix_length();

}  // namespace sim
