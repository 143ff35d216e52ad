#pragma once
// Addresses written as dotted text in tests. The text is the test's own literal, so a typo
// stops the run at once instead of quietly becoming 0.0.0.0.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/ipv4_address.h"

namespace test {

inline platform::Ipv4Address ipv4(std::string_view dotted) {
  const auto address = platform::Ipv4Address::parse(dotted);
  if (!address) {
    std::fprintf(stderr, "not an IPv4 address: %.*s\n", static_cast<int>(dotted.size()), dotted.data());
    std::abort();
  }
  return *address;
}

}  // namespace test
