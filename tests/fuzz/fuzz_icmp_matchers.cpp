// Bytes from the wire as the probes see them: as an IP packet from the raw ICMP socket and
// as a captured Ethernet frame. Nothing reads out of bounds; which packets are accepted is
// the unit tests' (EchoReply, UnreachableReport).
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/ipv4_address.h"
#include "tools/icmp_echo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  tools::is_echo_reply(bytes, platform::Ipv4Address::from_octets(192, 168, 1, 100), 0x4242);
  tools::is_network_unreachable_report(bytes, platform::Ipv4Address::from_octets(192, 168, 5, 3),
                                       platform::Ipv4Address::from_octets(203, 0, 113, 10));
  return 0;
}
