#pragma once
// Ethernet ARP frames for the raw-Ethernet tests, laid out byte by byte here rather than
// with the product's builder, so that a wrong offset on either side shows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/ipv4_text.h"

namespace test {

using Mac = std::array<std::uint8_t, 6>;
using Frame = std::vector<std::uint8_t>;

inline std::array<std::uint8_t, 4> ip_bytes(const std::string& dotted) {
  const platform::Ipv4Address ip = ipv4(dotted);
  return {ip.octet(0), ip.octet(1), ip.octet(2), ip.octet(3)};
}

// A 60-byte frame (42 bytes of ARP, zero padding) from source; operation 1 request, 2 reply.
inline std::vector<std::uint8_t> arp_frame(const Mac& source, int operation, const std::string& sender_ip,
                                           const std::string& target_ip, std::uint16_t ethertype = 0x0806) {
  std::vector<std::uint8_t> f(60, 0);
  for (int i = 0; i < 6; ++i) {
    f[i] = operation == 1 ? 0xFF : 0x02;
    f[6 + i] = f[22 + i] = source[i];
  }
  f[12] = ethertype >> 8;
  f[13] = ethertype & 0xFF;
  f[15] = 1;
  f[16] = 0x08;
  f[18] = 6;
  f[19] = 4;
  f[21] = static_cast<std::uint8_t>(operation);
  for (int i = 0; i < 4; ++i) {
    f[28 + i] = ip_bytes(sender_ip)[i];
    f[38 + i] = ip_bytes(target_ip)[i];
  }
  return f;
}

inline Mac module_mac(std::uint8_t a, std::uint8_t b, std::uint8_t c) { return {0x00, 0x20, 0x4A, a, b, c}; }

}  // namespace test
