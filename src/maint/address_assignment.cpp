#include "maint/address_assignment.h"

namespace maint {

AddressAssignment encode_address_assignment(MacTail tail, platform::Ipv4Address address) {
  static constexpr char marker[] = "IP-SETUP";
  AddressAssignment request{};
  request[3] = discovery::address_assignment_command;
  for (std::size_t i = 0; i < 8; ++i) request[4 + i] = static_cast<std::uint8_t>(marker[i]);
  request[14] = tail.a;
  request[15] = tail.b;
  for (int i = 0; i < 4; ++i) request[16 + static_cast<std::size_t>(i)] = address.octet(i);
  return request;
}

}  // namespace maint
