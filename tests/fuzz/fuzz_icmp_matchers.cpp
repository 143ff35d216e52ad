// Bytes from the wire as the probes see them: as an IP packet from the raw ICMP socket and
// as a captured Ethernet frame. Nothing reads out of bounds, and a packet or frame that is
// accepted carries what the checks require.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/ipv4_address.h"
#include "tools/icmp_echo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const platform::Ipv4Address module = platform::Ipv4Address::from_host_order(0xC0A80164);   // 192.168.1.100
  const platform::Ipv4Address adapter = platform::Ipv4Address::from_host_order(0xC0A80503);  // 192.168.5.3
  const platform::Ipv4Address site = platform::Ipv4Address::from_host_order(0xCB00710A);     // 203.0.113.10

  if (tools::is_echo_reply(bytes, module, 0x4242)) {
    const std::size_t h = 4u * (data[0] & 0x0Fu);
    if (size < 60 || data[9] != 1 || data[12] != 192 || data[15] != 100) std::abort();
    if (data[h] != 0 || data[h + 4] != 0x42 || data[h + 5] != 0x42) std::abort();
    if (static_cast<std::size_t>(data[2] << 8 | data[3]) != h + 44) std::abort();
  }
  if (tools::is_network_unreachable_report(bytes, adapter, site)) {
    if (size < 78 || data[23] != 1 || data[34] != 3 || data[35] != 0) std::abort();
    if (data[33] != 3 || data[61] != 10 || data[74] != 'm' || data[77] != '9') std::abort();
  }
  return 0;
}
