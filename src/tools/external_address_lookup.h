#pragma once
// The PC's external address per address entry (0, 1 and 2), asked of the what-is-my-address
// services through each adapter that has a route to them. Blocks for its probes and reads.
#include <cstdint>
#include <string>
#include <string_view>

#include "rawlink/raw_ethernet.h"
#include "netenv/adapter_table.h"
#include "netenv/external_addresses.h"
#include "tools/address_services.h"
#include "tools/icmp_probe.h"
#include "tools/page_fetch.h"

namespace tools {

constexpr std::string_view no_external_address = "--none--";

// Codes of external_address_lookup.
constexpr int lookup_library_failed = -1;  // the socket library start; it cannot fail here
constexpr int lookup_nothing_resolved = -40;

// What the lookup asks of the machine: SystemAddressLookupLink in the program, fakes in tests.
class AddressLookupLink {
 public:
  virtual ~AddressLookupLink() = default;
  // The first IPv4 address of host; false when it does not resolve.
  virtual bool resolve(std::string_view host, platform::Ipv4Address& address) = 0;
  // The probes of icmp_probe.h from address entry `entry`.
  virtual int captured_reply_probe(int entry, platform::Ipv4Address target) = 0;
  virtual int echo_probe(int entry, platform::Ipv4Address target) = 0;
  virtual int fetch_page(const PageRequest& request, PageResponse& response) = 0;
};

// The system resolver (getaddrinfo: hosts file, then DNS), the real probes and fetch_page.
class SystemAddressLookupLink final : public AddressLookupLink {
 public:
  SystemAddressLookupLink(rawlink::RawEthernet& raw, IcmpLink& icmp) : raw_(raw), icmp_(icmp) {}
  bool resolve(std::string_view host, platform::Ipv4Address& address) override;
  int captured_reply_probe(int entry, platform::Ipv4Address target) override;
  int echo_probe(int entry, platform::Ipv4Address target) override;
  int fetch_page(const PageRequest& request, PageResponse& response) override;

 private:
  rawlink::RawEthernet& raw_;
  IcmpLink& icmp_;
};

// Resets entries 0..2 to unresolved and "--none--", then tries the configured services A
// to D in turn for every entry still unresolved: status 0 when its gate says there is no
// route, 1 with the text when a page showed the address. Returns 0, or
// lookup_nothing_resolved when there is no address entry or every entry stayed unresolved.
// With no service configured nothing is asked: every entry gets status 0 ("no route"),
// at once. results.probes_not_permitted tells that a route probe lacked CAP_NET_RAW, so
// a "no route" may only mean the probe could not run.
int external_address_lookup(const netenv::AdapterTable& adapters, const AddressServiceHosts& hosts,
                            netenv::ExternalAddresses& results, AddressLookupLink& link);

}  // namespace tools
