#pragma once
// The address-assignment request on the Discovery port (UDP 30718), a broadcast that gives
// the module whose MAC ends in A B a new address:
//
//   0..3 00 00 00 FC   4..11 "IP-SETUP"   12..13 00 00   14..15 A B   16..19 new address
//
// The module takes the address at its restart (restart_delay_ms later): record bytes 0..3,
// no gateway (the old one lies outside the new subnet), its mask kept, its namespace
// address moved.
#include <optional>
#include <span>

#include "emulated_module.h"

namespace sim {

// The new address when the datagram is an assignment for the module with mac.
std::optional<Ipv4> parse_address_assignment(std::span<const std::uint8_t> datagram, const Mac& mac);

// Logs the assignment and restarts the module with the new address after the restart delay.
void take_assigned_address(ModuleState& state, EventLoop& loop, const Ipv4& address);

}  // namespace sim
