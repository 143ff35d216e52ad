// The external address lookup from the PC's namespace against the virtual Internet: names
// resolved by the system resolver through the namespace's hosts file, the router's real
// "network unreachable" on one subnet, real pages of the four sites on the other.
#include <gtest/gtest.h>

#include "netenv/external_addresses.h"
#include "support/arp_test_frames.h"
#include "support/fake_wait_clock.h"
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

// A page in pieces or stopping short: the read ends once more than the limit has arrived, at
// the server's close, or after 5.6 s of silence; pieces are kept in order.
TEST_F(ExternalAddressLan, PageFetchEndsPastTheLimitAtTheCloseOrAfterTheSilence) {
  const struct {
    const char* path;
    int result;
    std::string received;
    std::uint32_t elapsed_ms;  // 100 ms before each read
  } cases[] = {
      {"/pieces/90/91/hold", 0, std::string(90, 'a') + std::string(91, 'b'), 200},
      {"/pieces/180/close", tools::fetch_too_short, std::string(180, 'a'), 200},
      {"/pieces/17/hold", tools::fetch_too_short, std::string(17, 'a'), 100 + 5600},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("GET ") + c.path + " HTTP/1.1\r\nHost: d.addresses.test\r\n\r\n";
    const tools::PageRequest request{ipv4("192.168.1.10"), ipv4("203.0.113.13"), tools::http_port, text, 180};
    tools::PageResponse response;
    test::FakeWaitClock clock(0, 1000);  // the pieces come 300 ms apart in real time
    EXPECT_EQ(tools::fetch_page(clock, request, response), c.result) << c.path;
    EXPECT_EQ(std::string(response.bytes().begin(), response.bytes().end()), c.received) << c.path;
    EXPECT_EQ(clock.tick_count_ms(), c.elapsed_ms) << c.path;
  }
}

}  // namespace
