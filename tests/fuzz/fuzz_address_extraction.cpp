// A web page from the network, searched the way each service's page is. Nothing reads out
// of bounds, and an address found is at most 16 digits and dots.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "tools/address_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> page(data, size);
  for (const tools::AddressService& service : tools::address_services) {
    const auto address = tools::extract_external_address(service, page);
    if (!address) continue;
    if (address->size() > 16) std::abort();
    for (char c : *address)
      if ((c < '0' || c > '9') && c != '.') std::abort();
  }
  return 0;
}
