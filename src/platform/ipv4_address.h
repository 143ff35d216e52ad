#pragma once
// An IPv4 address as a value. Byte order exists only at the edges, each by a named step:
// from_network_order / network_order for sockaddr_in and other kernel structures, and
// from_host_order / host_order for the number whose most significant byte is the first
// octet (what the byte codecs read and write). No raw integer converts implicitly, so an
// address in one order can never be taken for one in the other.
#include <bit>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Ipv4Address {
 public:
  constexpr Ipv4Address() = default;

  static constexpr Ipv4Address from_host_order(std::uint32_t value) { return Ipv4Address(value); }
  static constexpr Ipv4Address from_network_order(std::uint32_t value) { return Ipv4Address(swap_if_little(value)); }
  static constexpr Ipv4Address from_octets(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return Ipv4Address(std::uint32_t{a} << 24 | std::uint32_t{b} << 16 | std::uint32_t{c} << 8 | d);
  }
  // Dotted text "a.b.c.d"; nothing when the text is not an address.
  static std::optional<Ipv4Address> parse(std::string_view text);

  constexpr std::uint32_t host_order() const { return value_; }
  constexpr std::uint32_t network_order() const { return swap_if_little(value_); }
  std::string dotted() const;
  // Octet 0 to 3, in the order dotted text shows them.
  constexpr std::uint8_t octet(int index) const { return static_cast<std::uint8_t>(value_ >> (24 - 8 * index)); }

  constexpr bool is_zero() const { return value_ == 0; }
  // The address offset places further on (wrapping), for walking the hosts of a subnet.
  constexpr Ipv4Address plus(std::uint32_t offset) const { return Ipv4Address(value_ + offset); }

  friend constexpr bool operator==(Ipv4Address, Ipv4Address) = default;
  friend constexpr std::strong_ordering operator<=>(Ipv4Address a, Ipv4Address b) { return a.value_ <=> b.value_; }
  friend constexpr Ipv4Address operator&(Ipv4Address a, Ipv4Address b) { return Ipv4Address(a.value_ & b.value_); }
  friend constexpr Ipv4Address operator|(Ipv4Address a, Ipv4Address b) { return Ipv4Address(a.value_ | b.value_); }
  friend constexpr Ipv4Address operator~(Ipv4Address a) { return Ipv4Address(~a.value_); }

 private:
  constexpr explicit Ipv4Address(std::uint32_t host_order_value) : value_(host_order_value) {}
  static constexpr std::uint32_t swap_if_little(std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) return v;
    return (v >> 24) | (v >> 8 & 0xFF00u) | (v << 8 & 0xFF0000u) | (v << 24);
  }

  std::uint32_t value_ = 0;  // first octet most significant
};

// The mask of the address class: 255.0.0.0 for a first octet below 128 (127 included),
// 255.255.0.0 up to 191, 255.255.255.0 up to 223, and 0.0.0.0 from 224 on (no class).
constexpr Ipv4Address class_mask(Ipv4Address ip) {
  const std::uint8_t first = ip.octet(0);
  if (first < 128) return Ipv4Address::from_octets(255, 0, 0, 0);
  if (first < 192) return Ipv4Address::from_octets(255, 255, 0, 0);
  if (first < 224) return Ipv4Address::from_octets(255, 255, 255, 0);
  return {};
}

// The subnet (address & mask) of both addresses is the same.
constexpr bool same_subnet(Ipv4Address a, Ipv4Address b, Ipv4Address mask) { return (a & mask) == (b & mask); }

}  // namespace platform
