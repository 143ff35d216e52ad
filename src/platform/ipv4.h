#pragma once
// IPv4 helpers. Adapter entries and the wire use network order; Module table rows use
// host order (first octet most significant). Dotted text is what the operator sees.
#include <cstdint>
#include <string>

namespace platform {

std::uint32_t network_to_host(std::uint32_t network_order);
std::uint32_t host_to_network(std::uint32_t host_order);

// "a.b.c.d" from a host-order address.
std::string dotted(std::uint32_t host_order);
// "a.b.c.d" from a network-order address.
std::string dotted_network(std::uint32_t network_order);

// Parses dotted text into a host-order address; false when the text is not an address.
bool parse_dotted(const std::string& text, std::uint32_t& host_order);

}  // namespace platform
