#pragma once
// How module repair picks an address for the module in one local subnet: the subnet by the
// address class (never narrower than the class), and the next host number that no device
// answers for, walking next_host through first_host..last_host.
#include <cstdint>
#include <functional>

#include "netenv/adapter_table.h"
#include "platform/ipv4_address.h"

namespace maint {

// The mask repair uses for entry: the class mask (platform::class_mask) unless the entry's
// is longer; from 224 on, where there is no class, the entry's own.
platform::Ipv4Address assignment_mask(const netenv::AddressEntry& entry);

// next_host one on, back to first_host after last_host.
void advance_next_host(netenv::AddressEntry& entry);

// 1 in use, 0 free, negative when the probe cannot run.
using AddressInUse = std::function<int(platform::Ipv4Address ip)>;

// Codes of find_free_address.
constexpr int free_address_found = 1;
constexpr int no_free_address = 0;
constexpr int address_probe_error = -1;

// Tries network + next_host, advancing next_host past every address in use, until one is
// free (stored in candidate) or next_host is back where it began.
int find_free_address(netenv::AddressEntry& entry, const AddressInUse& in_use, platform::Ipv4Address& candidate);

}  // namespace maint
