#pragma once
// The PC's external address per address entry, as the lookup over the web services found
// it: shown by the server settings dialog and printed in the upload summary banner.
#include <array>
#include <string>

namespace netenv {

constexpr int looked_up_entries = 3;  // the lookup serves address entries 0, 1 and 2

enum LookupStatus : int { lookup_unresolved = -1, lookup_no_route = 0, lookup_found = 1 };

struct ExternalAddresses {
  std::array<int, looked_up_entries> status{};      // every entry starts at lookup_no_route
  std::array<std::string, looked_up_entries> text;  // at most 19 characters; empty before any lookup
  bool probes_not_permitted = false;  // a route probe of the last lookup lacked CAP_NET_RAW
};

}  // namespace netenv
