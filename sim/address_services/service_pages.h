#pragma once
// The four sites and their HTTP responses. Pages B and C are in code page 936 (GBK).
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

struct Site {
  std::string_view host;     // the Host header it answers to
  std::string_view address;  // where it listens, on port 80
  std::string_view path;
  std::size_t min_response_bytes;  // pages are padded to at least this length
};

extern const std::array<Site, 4> sites;

// The whole response of site k to a GET of path for host, seen from client_address.
// Anything but the site's own host and path gets a short 404.
std::string site_response(std::size_t k, std::string_view host, std::string_view path,
                          const std::string& client_address);

}  // namespace sim
