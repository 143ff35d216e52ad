#include "platform/ipv4.h"

#include <arpa/inet.h>
#include <cstdio>

namespace platform {

std::uint32_t network_to_host(std::uint32_t network_order) { return ntohl(network_order); }
std::uint32_t host_to_network(std::uint32_t host_order) { return htonl(host_order); }

std::string dotted(std::uint32_t h) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (h >> 24) & 0xFF, (h >> 16) & 0xFF, (h >> 8) & 0xFF, h & 0xFF);
  return text;
}

std::string dotted_network(std::uint32_t network_order) { return dotted(ntohl(network_order)); }

bool parse_dotted(const std::string& text, std::uint32_t& host_order) {
  in_addr address{};
  if (inet_pton(AF_INET, text.c_str(), &address) != 1) return false;
  host_order = ntohl(address.s_addr);
  return true;
}

}  // namespace platform
