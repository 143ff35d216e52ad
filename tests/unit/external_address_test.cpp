// The external address lookup: the services' requests, the address extraction per service,
// fetch_page's bind failure and the lookup's logic through a fake link (the fetch itself runs
// against the address-service emulator in the LAN tests).
#include "tools/external_address_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "support/arp_test_frames.h"
#include "support/fake_wait_clock.h"
#include "tools/address_services.h"
#include "tools/captured_reply_probe.h"
#include "tools/icmp_probe.h"

namespace {

using test::ipv4;
using tools::address_services;

std::span<const std::uint8_t> bytes_of(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Code page 936 (GBK) bytes of the pages' Chinese texts.
const std::string gbk_your = "\xC4\xFA\xB5\xC4";              // 您的
const std::string b_marker = "IP\xB5\xD8\xD6\xB7\xA3\xBA";  // IP地址：
const std::string c_marker = "\xCA\xC7\xA3\xBA[";             // 是：[

// Each site checks its own path and Host in the LAN tests.
TEST(AddressServices, RequestIsOneBlockWithTheServicesPathAndHost) {
  EXPECT_EQ(tools::http_request(address_services[0], "a.example"),
            "GET /dyndns/getip HTTP/1.1\r\nUser-Agent: pqmweb\r\nHost: a.example\r\n"
            "Cache-Control: no-cache\r\n\r\n");
}

// The sites' real pages are read in the LAN tests.
TEST(AddressExtraction, EachServicesPage) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n";
  struct Case {
    const char* name;
    std::size_t service;
    std::string page;
    std::optional<std::string> address;
  };
  const std::vector<Case> cases = {
      {"A, two-digit chunk size", 0, head + "1a\r\n203.0.113.200 (proxy)\r\n0\r\n\r\n", "203.0.113.200"},
      {"A, body cut short", 0, head + "c\r\n", ""},
      {"A, headers never end", 0, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", std::nullopt},
      {"B, 13 bytes from the marker's first byte", 1, b_marker + "12345" + "6789", "6789"},
      {"B without its marker", 1, "<p>IP: 198.51.100.1</p>", std::nullopt},
      {"C, marker at the very end", 2, "x" + c_marker, ""},
      {"D, the first marker counts", 3, "zip=9x ip=1.2.3.4", "9"},
      {"D, at most 16 characters", 3, "ip=1234567890.234567890", "1234567890.23456"},
      {"D, stops at the first other character", 3, "ip=10.0.0.1a", "10.0.0.1"},
      {"D, nothing usable", 3, "ip=-1", ""},
      {"empty page", 3, "", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tools::extract_external_address(address_services[c.service], bytes_of(c.page)), c.address) << c.name;
}

// An address that is not the machine's own cannot be bound; nothing is sent.
TEST(FetchPage, AForeignLocalAddressIsNotBound) {
  const tools::PageRequest request{ipv4("203.0.113.77"), ipv4("127.0.0.1"), 9, "GET / HTTP/1.1\r\n\r\n", 180};
  tools::PageResponse response;
  test::FakeWaitClock clock;
  EXPECT_EQ(tools::fetch_page(clock, request, response), tools::fetch_bind_failed);
}

// --- the lookup through a fake link ---------------------------------------------------------

const std::string found_address = "198.51.100.1";

// A page of each service that shows found_address.
std::string good_page(std::size_t service) {
  const std::string pages[] = {
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nc\r\n" + found_address + "\r\n0\r\n\r\n",
      "<p>" + b_marker + "<br/>" + found_address + "</p>", gbk_your + "IP" + c_marker + found_address + "]",
      "ip=" + found_address};
  return pages[service];
}

platform::Ipv4Address server_of(std::size_t service) { return ipv4("203.0.113." + std::to_string(10 + service)); }

std::string letter(std::size_t service) { return std::string(1, static_cast<char>('A' + service)); }

const tools::AddressServiceHosts all_hosts = {"a.example", "b.example", "c.example", "d.example"};

// Services are named by position (0 = A). Unset results: captured-reply probe -8 (no
// report), echo probe 0, fetch -11 with nothing received.
class FakeLookupLink final : public tools::AddressLookupLink {
 public:
  std::set<std::size_t> resolvable = {0, 1, 2, 3};
  std::map<std::pair<int, std::size_t>, int> captured;  // by entry and service
  std::map<std::pair<int, std::size_t>, int> echo;
  std::map<std::size_t, std::pair<int, std::string>> pages;  // by service
  std::vector<std::string> calls;
  std::vector<tools::PageRequest> fetches;

  bool resolve(std::string_view host, platform::Ipv4Address& address) override {
    std::size_t service = service_of_host(host);
    calls.push_back("resolve " + letter(service));
    if (!resolvable.contains(service)) return false;
    address = server_of(service);
    return true;
  }
  int captured_reply_probe(int entry, platform::Ipv4Address target) override {
    std::size_t service = service_of(target);
    calls.push_back("captured " + std::to_string(entry) + letter(service));
    auto found = captured.find({entry, service});
    return found != captured.end() ? found->second : tools::report_not_seen;
  }
  int echo_probe(int entry, platform::Ipv4Address target) override {
    std::size_t service = service_of(target);
    calls.push_back("echo " + std::to_string(entry) + letter(service));
    auto found = echo.find({entry, service});
    return found != echo.end() ? found->second : 0;
  }
  int fetch_page(const tools::PageRequest& request, tools::PageResponse& response) override {
    std::size_t service = service_of(request.server_ip);
    calls.push_back("fetch " + letter(service));
    fetches.push_back(request);
    auto found = pages.find(service);
    auto [code, page] = found != pages.end() ? found->second : std::pair<int, std::string>{-11, ""};
    std::copy(page.begin(), page.end(), response.buffer.begin());
    response.length = page.size();
    return code;
  }

 private:
  static std::size_t service_of_host(std::string_view host) { return static_cast<std::size_t>(host[0] - 'a'); }
  static std::size_t service_of(platform::Ipv4Address server) { return server.octet(3) - 10u; }
};

// Entry i has address 192.168.(i + 1).10.
netenv::AdapterTable table_of(int address_count) {
  netenv::AdapterTable table;
  table.address_count = address_count;
  for (int i = 0; i < address_count; ++i)
    table.addresses[static_cast<std::size_t>(i)].ip = ipv4("192.168." + std::to_string(i + 1) + ".10");
  return table;
}

int lookup(const netenv::AdapterTable& adapters, netenv::ExternalAddresses& results, FakeLookupLink& link,
           const tools::AddressServiceHosts& hosts = all_hosts) {
  return tools::external_address_lookup(adapters, hosts, results, link);
}

using Statuses = std::array<int, 3>;
using Texts = std::array<std::string, 3>;
using Calls = std::vector<std::string>;
const std::string none = "--none--";

TEST(ExternalAddressLookup, AnAdapterWithoutARouteIsNeverAskedOverHttp) {
  FakeLookupLink link;
  link.captured[{1, 0}] = 0;
  link.pages[0] = {0, good_page(0)};
  netenv::ExternalAddresses results;
  EXPECT_EQ(lookup(table_of(2), results, link), 0);
  EXPECT_EQ(results.status, (Statuses{1, 0, -1}));
  EXPECT_EQ(results.text, (Texts{found_address, none, none}));
  EXPECT_EQ(link.calls, (Calls{"resolve A", "captured 0A", "fetch A", "captured 1A", "resolve B", "resolve C",
                               "resolve D"}));
  ASSERT_EQ(link.fetches.size(), 1u);
  EXPECT_EQ(link.fetches[0].local_ip, ipv4("192.168.1.10"));
  EXPECT_EQ(link.fetches[0].limit_bytes, 180u);
}

TEST(ExternalAddressLookup, EachFailureLeavesTheAdapterToTheNextService) {
  FakeLookupLink link;
  link.resolvable = {1, 2, 3};                     // A does not resolve
  link.pages[1] = {0, "<p>IP: " + found_address};  // B's page lacks its marker
  link.echo[{0, 2}] = 3;
  link.pages[2] = {-11, good_page(2)};  // C's page stays below its limit
  link.pages[3] = {0, good_page(3)};
  netenv::ExternalAddresses results;
  EXPECT_EQ(lookup(table_of(1), results, link), 0);
  EXPECT_EQ(results.status, (Statuses{1, -1, -1}));
  EXPECT_EQ(results.text[0], found_address);
  EXPECT_EQ(link.calls, (Calls{"resolve A", "resolve B", "captured 0B", "fetch B", "resolve C", "captured 0C",
                               "echo 0C", "fetch C", "resolve D", "captured 0D", "fetch D"}));
  std::vector<std::size_t> limits;
  for (const auto& request : link.fetches) limits.push_back(request.limit_bytes);
  EXPECT_EQ(limits, (std::vector<std::size_t>{8800, 450, 3800}));
}

// A probe without its right to run is told; the next lookup forgets it (ResultCodesAndTheReset).
TEST(ExternalAddressLookup, GatesOfTheServices) {
  struct Case {
    const char* name;
    std::size_t service;
    int captured, echo;
    int status;
    bool echo_asked, not_permitted;
  };
  const std::vector<Case> cases = {
      {"A: network unreachable", 0, 0, 0, 0, false, false},
      {"A: no report", 0, -8, 0, 1, false, false},
      {"A: capture not possible", 0, -1, 0, 1, false, false},
      {"D: no capture device", 3, -2, 0, 1, false, false},
      {"C: network unreachable", 2, 0, 3, 0, false, false},
      {"C: no report, no echo reply", 2, -8, 0, 0, true, false},
      {"C: no report, echo probe failed", 2, -8, -1, 0, true, false},
      {"C: no report, echo replies", 2, -8, 1, 1, true, false},
      {"C: capture not possible, echo replies", 2, -4, 3, 1, true, false},
      {"A: capture not permitted", 0, tools::report_not_permitted, 0, 1, false, true},
      {"C: no report, echo not permitted", 2, -8, tools::echo_not_permitted, 0, true, true},
  };
  for (const Case& c : cases) {
    FakeLookupLink link;
    link.resolvable = {c.service};
    link.captured[{0, c.service}] = c.captured;
    link.echo[{0, c.service}] = c.echo;
    link.pages[c.service] = {0, good_page(c.service)};
    netenv::ExternalAddresses results;
    EXPECT_EQ(lookup(table_of(1), results, link), 0) << c.name;
    EXPECT_EQ(results.status[0], c.status) << c.name;
    EXPECT_EQ(results.text[0], c.status == 1 ? found_address : none) << c.name;
    bool echo_asked = std::count(link.calls.begin(), link.calls.end(), "echo 0" + letter(c.service)) == 1;
    EXPECT_EQ(echo_asked, c.echo_asked) << c.name;
    EXPECT_EQ(results.probes_not_permitted, c.not_permitted) << c.name;
  }
}

TEST(ExternalAddressLookup, ResultCodesAndTheReset) {
  struct Case {
    const char* name;
    int address_count;
    std::set<std::size_t> resolvable;
    int result;
  };
  const std::vector<Case> cases = {
      {"no address entry", 0, {0, 1, 2, 3}, tools::lookup_nothing_resolved},
      {"no service resolves", 2, {}, tools::lookup_nothing_resolved},
      {"every page too short", 3, {0, 1, 3}, tools::lookup_nothing_resolved},
      {"entries from 3 on count as resolved", 4, {}, 0},
  };
  for (const Case& c : cases) {
    FakeLookupLink link;
    link.resolvable = c.resolvable;
    netenv::ExternalAddresses results;
    results.status = {1, 1, 0};
    results.text = {"1.2.3.4", "5.6.7.8", ""};
    results.probes_not_permitted = true;
    EXPECT_EQ(lookup(table_of(c.address_count), results, link), c.result) << c.name;
    EXPECT_EQ(results.status, (Statuses{-1, -1, -1})) << c.name;
    EXPECT_EQ(results.text, (Texts{none, none, none})) << c.name;
    EXPECT_FALSE(results.probes_not_permitted) << c.name;
  }
}

TEST(ExternalAddressLookup, OnlyTheFirstThreeEntriesAreLookedUp) {
  FakeLookupLink link;
  link.resolvable = {3};
  link.pages[3] = {0, good_page(3)};
  netenv::ExternalAddresses results;
  EXPECT_EQ(lookup(table_of(5), results, link), 0);
  EXPECT_EQ(results.status, (Statuses{1, 1, 1}));
  ASSERT_EQ(link.fetches.size(), 3u);
  EXPECT_EQ(link.fetches.back().local_ip, ipv4("192.168.3.10"));
}

// Only the configured services are asked; with none (an isolated LAN) nothing is asked and no
// entry is left unresolved.
TEST(ExternalAddressLookup, OnlyTheConfiguredServicesAreAsked) {
  FakeLookupLink link;
  link.pages[3] = {0, good_page(3)};
  netenv::ExternalAddresses results;
  EXPECT_EQ(lookup(table_of(1), results, link, {"", "b.example", "", "d.example"}), 0);
  EXPECT_EQ(results.status[0], 1);
  EXPECT_EQ(link.calls, (Calls{"resolve B", "captured 0B", "fetch B", "resolve D", "captured 0D", "fetch D"}));

  link.calls.clear();
  EXPECT_EQ(lookup(table_of(2), results, link, {}), 0);
  EXPECT_TRUE(link.calls.empty());
  EXPECT_EQ(results.status, (Statuses{0, 0, 0}));
  EXPECT_EQ(results.text, (Texts{none, none, none}));
  EXPECT_EQ(lookup(table_of(0), results, link, {}), tools::lookup_nothing_resolved);
}

}  // namespace
