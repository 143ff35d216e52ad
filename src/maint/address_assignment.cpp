#include "maint/address_assignment.h"

#include "platform/ipv4.h"

namespace maint {

AddressAssignment encode_address_assignment(MacTail tail, std::uint32_t address_network) {
  static constexpr char marker[] = "IP-SETUP";
  AddressAssignment request{};
  request[3] = discovery::address_assignment_command;
  for (std::size_t i = 0; i < 8; ++i) request[4 + i] = static_cast<std::uint8_t>(marker[i]);
  request[14] = tail.a;
  request[15] = tail.b;
  const std::uint32_t host = platform::network_to_host(address_network);
  for (std::size_t i = 0; i < 4; ++i) request[16 + i] = static_cast<std::uint8_t>(host >> (24 - 8 * i));
  return request;
}

}  // namespace maint
