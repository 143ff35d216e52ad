// The external address lookup from the PC's namespace against the virtual Internet: names
// resolved by the system resolver through the namespace's hosts file, the router's real
// "network unreachable" on one subnet, real pages of the four sites on the other.
#include <gtest/gtest.h>

#include "netenv/external_addresses.h"
#include "support/arp_test_frames.h"
#include "tools/address_services.h"
#include "tools/external_address_lookup.h"
#include "virtual_internet.h"

namespace {

using test::ipv4;

// The router's outside address: what the sites see of the PC.
const std::string outside_address = "198.51.100.1";

class ExternalAddressLan : public test::VirtualInternetTest {};

// The site names resolve through the PC namespace's hosts file, as under `ip netns exec`.
TEST_F(ExternalAddressLan, FindsTheOutsideAddressWhereTheRouterForwards) {
  test::PcNamespaceScope pc(lan());
  ASSERT_TRUE(pc.ok()) << pc.error();
  test::NetnsFilesScope files(lan().pc_namespace());
  ASSERT_TRUE(files.ok()) << files.error();
  test::PcView view;
  view.build();
  rawlink::RawEthernet raw = view.raw();
  tools::SystemAddressLookupLink link(raw, view.icmp);
  netenv::ExternalAddresses results;
  EXPECT_EQ(tools::external_address_lookup(view.adapters, test::site_hosts, results, link), 0);
  // Entries 0 and 1 are on the forwarding subnet, entry 2 on the unreachable one.
  EXPECT_EQ(results.status, (std::array<int, 3>{1, 1, 0}));
  EXPECT_EQ(results.text, (std::array<std::string, 3>{outside_address, outside_address, "--none--"}))
      << lan().emulator_log("address-services");
}

// Each site's real page, fetched through the router, holds the address where its service
// says it does.
TEST_F(ExternalAddressLan, EverySitesPageShowsTheOutsideAddress) {
  test::PcNamespaceScope pc(lan());
  ASSERT_TRUE(pc.ok()) << pc.error();
  for (std::size_t k = 0; k < tools::address_services.size(); ++k) {
    const tools::AddressService& service = tools::address_services[k];
    tools::PageRequest request{ipv4("192.168.1.10"), ipv4("203.0.113." + std::to_string(10 + k)),
                               tools::http_port, tools::http_request(service, test::site_hosts[k]),
                               static_cast<std::size_t>(service.response_limit_bytes)};
    tools::PageResponse response;
    platform::SystemWaitClock clock;
    EXPECT_EQ(tools::fetch_page(clock, request, response), 0) << test::site_hosts[k];
    EXPECT_EQ(tools::extract_external_address(service, response.bytes()), outside_address) << test::site_hosts[k];
  }
}

}  // namespace
