#pragma once
// The address-assignment request of the Discovery port: 20 bytes, broadcast on the module's
// subnet, that give the module whose MAC ends in the two tail bytes a new address. No reply.
//
//   0..3    00 00 00 FC
//   4..11   "IP-SETUP"
//   12..13  00 00
//   14..15  MAC tail (bytes 5 and 6 of the MAC)
//   16..19  the new address, first octet first
#include <array>
#include <cstdint>

#include "discovery/discovery_datagrams.h"

#include "platform/ipv4_address.h"

namespace maint {

struct MacTail {
  std::uint8_t a = 0;  // MAC byte 5
  std::uint8_t b = 0;  // MAC byte 6
};

using AddressAssignment = std::array<std::uint8_t, discovery::address_assignment_bytes>;

// The request for the module with tail to take address.
AddressAssignment encode_address_assignment(MacTail tail, platform::Ipv4Address address);

}  // namespace maint
