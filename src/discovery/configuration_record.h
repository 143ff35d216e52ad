#pragma once
// Byte offsets of the 120-byte Module configuration record that a module sends behind
// 00 00 00 F9 and takes back behind 00 00 00 FD. Bytes not named here are carried unchanged.
#include <cstddef>
#include <cstdint>

#include "platform/ipv4_address.h"

namespace discovery::record {

constexpr std::size_t ip = 0;         // 4, big-endian; 0.0.0.0 or 0.0.1.0: dynamic address
constexpr std::size_t host_bits = 6;  // mask = NOT(2^n - 1)
constexpr std::size_t gateway = 12;   // 4, big-endian
constexpr std::size_t baud_code = 17;
constexpr std::size_t port = 20;         // 2, little-endian
constexpr std::size_t server_port = 22;  // 2, little-endian
constexpr std::size_t server_ip = 24;    // 4, big-endian
constexpr std::size_t mode_family = 28;  // tcp_family or udp_family
constexpr std::size_t mode_sub = 29;     // work mode number within the family
constexpr std::size_t firmware_level = 32;
constexpr std::size_t snmp_marker = 33;
constexpr std::size_t module_code = 36;      // 2, big-endian
constexpr std::size_t upload_interval = 38;  // interval n x 5 + 5 seconds
constexpr std::size_t server_by_name = 39;   // 0x10 domain name, 0 IP address
constexpr std::size_t dns_ip = 66;           // 4, big-endian
constexpr std::size_t server_name = 70;      // 40, NUL-padded
constexpr std::size_t server_name_bytes = 40;

constexpr std::uint8_t tcp_family = 0xC0;
constexpr std::uint8_t udp_family = 0xCC;
constexpr std::uint8_t snmp_capable_marker = 0x99;
constexpr std::uint8_t active_capable_level = 0x30;
constexpr platform::Ipv4Address dynamic_ip_zero{};
constexpr auto dynamic_ip_marker = platform::Ipv4Address::from_octets(0, 0, 1, 0);

}  // namespace discovery::record
