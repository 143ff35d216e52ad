#include "tools/address_services.h"

#include <algorithm>

namespace tools {

std::string http_request(const AddressService& service, std::string_view host) {
  std::string request = "GET ";
  request.append(service.path).append(" HTTP/1.1\r\nUser-Agent: pqmweb\r\nHost: ");
  request.append(host).append("\r\nCache-Control: no-cache\r\n\r\n");
  return request;
}

std::optional<std::string> extract_external_address(const AddressService& service,
                                                    std::span<const std::uint8_t> response) {
  auto found = std::search(response.begin(), response.end(), service.marker.begin(), service.marker.end(),
                           [](std::uint8_t byte, char marker) { return byte == static_cast<std::uint8_t>(marker); });
  if (found == response.end()) return std::nullopt;
  std::size_t start = static_cast<std::size_t>(found - response.begin()) + service.start_offset;
  if (service.line_feed_moves_start && start < response.size() && response[start] == '\n') ++start;
  std::string address;
  for (std::size_t i = start; i < response.size() && address.size() < external_address_max_chars; ++i) {
    char c = static_cast<char>(response[i]);
    if ((c < '0' || c > '9') && c != '.') break;
    address.push_back(c);
  }
  return address;
}

}  // namespace tools
