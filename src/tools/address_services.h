#pragma once
// The what-is-my-address web services, their HTTP request and where each one's page holds
// the address it saw. Pure: bytes in, text out. The host names are the site's: quorvane.conf.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/program_config.h"

namespace tools {

constexpr std::uint16_t http_port = 80;
constexpr std::size_t response_buffer_bytes = 18000;
constexpr std::size_t external_address_max_chars = 16;

// What must hold before a service is asked through an adapter.
enum class ReachabilityGate {
  captured_reply,           // no router reports the network unreachable
  captured_reply_then_echo  // the captured-reply probe cannot run, and the service answers echo requests
};

struct AddressService {
  std::string_view path;
  int response_limit_bytes;  // more than this must arrive for the page to count
  std::string_view marker;
  std::size_t start_offset;  // of the address, from the marker's first byte
  // A line feed at the start means the chunk-size line before the address had two digits:
  // the address starts one byte later.
  bool line_feed_moves_start;
  ReachabilityGate gate;
};

// Host name of each service, in the order of address_services; empty: not tried.
using AddressServiceHosts = std::array<std::string, platform::address_service_count>;

// Tried in this order. The markers of B and C are "IP地址：" and "是：[" in code page 936.
constexpr std::array<AddressService, platform::address_service_count> address_services = {{
    {"/dyndns/getip", 180, "\r\n\r\n", 7, true, ReachabilityGate::captured_reply},
    {"/", 8800, "IP\xB5\xD8\xD6\xB7\xA3\xBA", 13, false, ReachabilityGate::captured_reply},
    {"/ic.asp", 450, "\xCA\xC7\xA3\xBA[", 5, false,
     ReachabilityGate::captured_reply_then_echo},
    {"/", 3800, "ip=", 3, false, ReachabilityGate::captured_reply},
}};

static_assert(address_services[1].marker.size() == 8 && address_services[2].marker.size() == 5);
// A page counts once more than its limit arrived, so every limit must leave room in the buffer.
static_assert(std::ranges::all_of(address_services, [](const AddressService& service) {
  return static_cast<std::size_t>(service.response_limit_bytes) < response_buffer_bytes;
}));

// The GET request of a service at host, sent as one block.
std::string http_request(const AddressService& service, std::string_view host);

// The address a service's response shows: nullopt without the marker; otherwise the leading
// digits and dots of the (at most) 16 bytes at the start position, possibly empty.
std::optional<std::string> extract_external_address(const AddressService& service,
                                                    std::span<const std::uint8_t> response);

}  // namespace tools
