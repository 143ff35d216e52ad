#include "tools/external_address_lookup.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "tools/address_services.h"
#include "tools/captured_reply_probe.h"
#include "tools/icmp_probe.h"

namespace tools {
namespace {

// Whether the service may be asked through entry; false means entry has no route.
// not_permitted is set when a probe lacked the right to run.
bool gate_open(const AddressService& service, AddressLookupLink& link, int entry, platform::Ipv4Address server,
               bool& not_permitted) {
  const int report = link.captured_reply_probe(entry, server);
  if (report == report_not_permitted) not_permitted = true;
  if (service.gate == ReachabilityGate::captured_reply) return report != 0;
  // Any report at all means no route; without one the service must also answer echo requests.
  if (report >= 0) return false;
  const int replies = link.echo_probe(entry, server);
  if (replies == echo_not_permitted) not_permitted = true;
  return replies > 0;
}

}  // namespace

bool SystemAddressLookupLink::resolve(std::string_view host, platform::Ipv4Address& address_found) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(std::string(host).c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof address));
  ::freeaddrinfo(found);
  address_found = platform::Ipv4Address::from_network_order(address.sin_addr.s_addr);
  return true;
}

int SystemAddressLookupLink::captured_reply_probe(int entry, platform::Ipv4Address target) {
  return tools::captured_reply_probe(raw_, icmp_, entry, target);
}

int SystemAddressLookupLink::echo_probe(int entry, platform::Ipv4Address target) {
  return tools::echo_probe(raw_.adapters, icmp_, entry, target);
}

int SystemAddressLookupLink::fetch_page(const PageRequest& request, PageResponse& response) {
  return tools::fetch_page(raw_.link.clock(), request, response);
}

int external_address_lookup(const netenv::AdapterTable& adapters, const AddressServiceHosts& hosts,
                            netenv::ExternalAddresses& results, AddressLookupLink& link) {
  const bool any_service = std::ranges::any_of(hosts, [](const std::string& host) { return !host.empty(); });
  // Without a service there is no route to ask: an isolated LAN is no failure.
  results.status.fill(any_service ? netenv::lookup_unresolved : netenv::lookup_no_route);
  results.text.fill(std::string(no_external_address));
  results.probes_not_permitted = false;
  int address_count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  int looked_up = std::min(address_count, netenv::looked_up_entries);
  PageResponse response;  // shared by every request of the lookup
  for (std::size_t k = 0; k < address_services.size(); ++k) {
    const AddressService& service = address_services[k];
    const std::string& host = hosts[k];
    platform::Ipv4Address server;
    if (host.empty() || !link.resolve(host, server)) continue;
    for (int entry = 0; entry < looked_up; ++entry) {
      auto at = static_cast<std::size_t>(entry);
      if (results.status[at] != netenv::lookup_unresolved) continue;
      if (!gate_open(service, link, entry, server, results.probes_not_permitted)) {
        results.status[at] = netenv::lookup_no_route;
        continue;
      }
      PageRequest request{adapters.addresses[at].ip, server, http_port, http_request(service, host),
                          static_cast<std::size_t>(service.response_limit_bytes)};
      if (link.fetch_page(request, response) != 0) continue;
      if (auto address = extract_external_address(service, response.bytes())) {
        results.text[at] = *address;
        results.status[at] = netenv::lookup_found;
      }
    }
  }
  // Entries from looked_up_entries on are never looked up and count as resolved.
  int unresolved = static_cast<int>(std::count(results.status.begin(), results.status.begin() + looked_up,
                                               netenv::lookup_unresolved));
  return address_count == 0 || unresolved == address_count ? lookup_nothing_resolved : 0;
}

}  // namespace tools
