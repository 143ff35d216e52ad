#pragma once
// The operating system's list of network adapters with their IPv4 addresses.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Interface type codes, from the kernel's hardware type (ARPHRD_*): Ethernet 6, unless
// /sys/class/net/NAME/wireless exists, then wireless 71; ARPHRD_PPP 23; anything else 1.
constexpr int adapter_type_other = 1;
constexpr int adapter_type_ethernet = 6;
constexpr int adapter_type_ppp = 23;
constexpr int adapter_type_wireless = 71;

struct PlatformAdapter {
  std::array<std::uint8_t, 6> mac{};  // first 6 bytes of the hardware address, zeros when it has none
  std::string name;                    // interface name, the same name its capture device carries
  std::string description;             // empty: the kernel keeps no description
  int type = adapter_type_other;
  // (address, mask) in dotted text, in the kernel's order; "0.0.0.0"/"0.0.0.0" when none.
  std::vector<std::pair<std::string, std::string>> addresses;
};

// Result of asking for the adapter list: status 0 with the adapters, or a negative code
// that the adapter table passes on: -1 getifaddrs ran out of memory, -2 it failed otherwise.
struct AdapterListing {
  int status = 0;
  std::vector<PlatformAdapter> adapters;
};

// The kernel's interfaces that are up, in index order, loopback left out. Alias labels ("eth0:1")
// count as addresses of their interface.
AdapterListing list_adapters();

}  // namespace platform
