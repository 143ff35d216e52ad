#include "platform/ipv4_address.h"

#include <arpa/inet.h>

#include <cstdio>

namespace platform {

std::optional<Ipv4Address> Ipv4Address::parse(std::string_view text) {
  in_addr address{};
  if (inet_pton(AF_INET, std::string(text).c_str(), &address) != 1) return std::nullopt;
  return from_network_order(address.s_addr);
}

std::string Ipv4Address::dotted() const {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", value_ >> 24, value_ >> 16 & 0xFF, value_ >> 8 & 0xFF, value_ & 0xFF);
  return text;
}

}  // namespace platform
