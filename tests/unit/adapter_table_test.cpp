#include "netenv/adapter_table.h"

#include <gtest/gtest.h>

#include "support/ipv4_text.h"
#include "support/scripted_view.h"

namespace {

using test::ipv4;

using Pairs = std::vector<std::pair<std::string, std::string>>;

platform::PlatformAdapter adapter(const std::string& name, Pairs addresses, int type = 6) {
  platform::PlatformAdapter a;
  a.name = name;
  a.type = type;
  a.mac = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(name.empty() ? 0 : name.back())};
  a.addresses = std::move(addresses);
  return a;
}

platform::AdapterListing listing(std::vector<platform::PlatformAdapter> adapters) {
  return {0, std::move(adapters)};
}

struct Built {
  int status;
  netenv::AdapterTable table;
  test::ScriptedView view;
};

std::unique_ptr<Built> build(const platform::AdapterListing& l) {
  auto built = std::make_unique<Built>();
  built->status = netenv::build_adapter_table(built->table, l, built->view);
  return built;
}

std::string paragraph(const char* address_and_mask) {
  return std::string("本机此组参数: IP/MASK=") + address_and_mask +
         "\r\n下可配置的主机(QV/QT9K模块)地址数量过少(<=2)!\r\n建议重新设置此组参数!\r\n";
}

TEST(AdapterTable, HostCountersFollowTheMask) {
  struct Case {
    const char* ip;
    const char* mask;
    int host_capacity;
    int last_host;
    bool warned;
  };
  const Case cases[] = {
      {"10.0.0.1", "255.255.255.0", 255, 254, false},   {"10.0.0.1", "255.255.0.0", 255, 254, false},
      {"10.0.0.1", "255.255.255.128", 127, 126, false}, {"10.0.0.1", "255.255.255.248", 7, 6, false},
      {"10.0.0.1", "255.255.255.252", 3, 2, true},      {"10.0.0.1", "255.255.255.255", 0, -1, true},
      {"10.0.0.1", "0.0.0.0", 255, 254, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + "/" + c.mask);
    auto b = build(listing({adapter("eth0", {{c.ip, c.mask}})}));
    ASSERT_EQ(b->status, 0);
    EXPECT_EQ(b->table.addresses[0].host_capacity, c.host_capacity);
    EXPECT_EQ(b->table.addresses[0].last_host, c.last_host);
    EXPECT_EQ(b->view.messages.size(), c.warned ? 1u : 0u);
  }
}

// An adapter whose first address is empty goes; its later addresses are counted to a kept adapter.
TEST(AdapterTable, AdaptersWithoutAnAddressGoAndTheRestAreRenumbered) {
  using Entries = std::vector<std::pair<std::string, int>>;
  struct Case {
    const char* what;
    std::vector<platform::PlatformAdapter> adapters;
    std::vector<std::string> kept;
    Entries entries;  // address and adapter index
  };
  const Pairs none{{"0.0.0.0", "0.0.0.0"}};
  const Pairs none_then_10{{"0.0.0.0", "0.0.0.0"}, {"10.0.0.5", "255.0.0.0"}};
  const Pairs lan{{"192.168.1.10", "255.255.255.0"}};
  const Case cases[] = {
      {"removed between and first",
       {adapter("eth0", none), adapter("eth1", lan), adapter("eth2", none),
        adapter("ppp3", {{"10.64.0.7", "255.255.255.255"}, {"10.65.0.7", "255.255.0.0"}})},
       {"eth1", "ppp3"},
       {{"192.168.1.10", 0}, {"10.64.0.7", 1}, {"10.65.0.7", 1}}},
      {"removed first, kept after", {adapter("eth0", none_then_10), adapter("eth1", lan)}, {"eth1"},
       {{"10.0.0.5", 0}, {"192.168.1.10", 0}}},
      {"kept first, removed last", {adapter("eth0", lan), adapter("eth1", none_then_10)}, {"eth0"},
       {{"192.168.1.10", 0}, {"10.0.0.5", 0}}},
      {"removed between two kept",
       {adapter("eth0", lan), adapter("eth1", none_then_10), adapter("eth2", {{"172.16.1.1", "255.255.0.0"}})},
       {"eth0", "eth2"},
       {{"192.168.1.10", 0}, {"10.0.0.5", 1}, {"172.16.1.1", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = build(listing(c.adapters));
    ASSERT_EQ(b->status, 0);
    std::vector<std::string> kept;
    for (int a = 0; a < b->table.adapter_count; ++a) kept.push_back(b->table.adapters[a].name);
    Entries entries;
    for (int e = 0; e < b->table.address_count; ++e) entries.emplace_back(b->table.addresses[e].ip.dotted(), b->table.addresses[e].adapter);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(entries, c.entries);
  }
}

TEST(AdapterTable, EachSmallSubnetShowsEveryParagraphSoFar) {
  auto b = build(listing({
      adapter("eth0", {{"192.168.5.1", "255.255.255.252"}, {"192.168.1.10", "255.255.255.0"}}),
      adapter("eth1", {{"172.16.0.9", "255.255.255.254"}}),
  }));
  ASSERT_EQ(b->status, 0);
  const std::string first = paragraph("192.168.5.1/255.255.255.252");
  const std::string second = paragraph("172.16.0.9/255.255.255.254");
  ASSERT_EQ(b->view.messages.size(), 2u);
  EXPECT_EQ(b->view.messages[0].text, first);
  EXPECT_EQ(b->view.messages[1].text, first + second);
  for (const auto& m : b->view.messages) {
    EXPECT_EQ(m.caption, "系统提示");
    EXPECT_EQ(m.buttons, ui::Buttons::ok);
  }
  EXPECT_EQ(b->table.addresses[0].last_host, 2);
  EXPECT_EQ(b->table.addresses[2].last_host, 0);
}

TEST(AdapterTable, TakesAtMostTenEntriesAndSixAdapters) {
  Pairs twelve;
  for (int i = 1; i <= 12; ++i) twelve.push_back({"10.0." + std::to_string(i) + ".1", "255.255.255.0"});
  auto many_addresses = build(listing({adapter("eth0", twelve), adapter("eth1", {{"192.168.1.2", "255.255.255.0"}})}));
  ASSERT_EQ(many_addresses->status, 0);
  EXPECT_EQ(many_addresses->table.address_count, 10);
  EXPECT_EQ(many_addresses->table.adapter_count, 1);
  EXPECT_EQ(many_addresses->table.addresses[9].ip, ipv4("10.0.10.1"));

  Pairs four(twelve.begin(), twelve.begin() + 4);
  auto split = build(listing({adapter("eth0", four), adapter("eth1", four), adapter("eth2", four)}));
  ASSERT_EQ(split->status, 0);
  EXPECT_EQ(split->table.address_count, 10);
  EXPECT_EQ(split->table.adapter_count, 3);
  EXPECT_EQ(split->table.addresses[9].adapter, 2);
  EXPECT_EQ(split->table.addresses[9].ip, ipv4("10.0.2.1"));

  std::vector<platform::PlatformAdapter> seven;
  for (int i = 0; i < 7; ++i) seven.push_back(adapter("eth" + std::to_string(i), {{twelve[i].first, "255.255.255.0"}}));
  auto many_adapters = build(listing(seven));
  ASSERT_EQ(many_adapters->status, 0);
  EXPECT_EQ(many_adapters->table.adapter_count, 6);
  EXPECT_EQ(many_adapters->table.address_count, 6);
  EXPECT_EQ(many_adapters->table.adapters[5].name, "eth5");
}

TEST(AdapterTable, FailedBuildsReturnTheirCodeAndLeaveTheTableUnbuilt) {
  struct Case {
    const char* what;
    platform::AdapterListing listing;
    int status;
  };
  const Case cases[] = {
      {"no memory", {-1, {}}, -1},
      {"query failed", {-2, {adapter("eth0", {{"10.0.0.1", "255.0.0.0"}})}}, -2},
      {"no adapter listed", {0, {}}, -3},
      {"no address at all", listing({adapter("eth0", {}), adapter("eth1", {})}), -5},
      {"only empty addresses", listing({adapter("eth0", {{"0.0.0.0", "0.0.0.0"}}), adapter("eth1", {{"0.0.0.0", "0.0.0.0"}})}),
       -7},
      {"usable address behind an empty first", listing({adapter("eth0", {{"0.0.0.0", "0.0.0.0"}, {"10.0.0.5", "255.0.0.0"}})}),
       -7},
      {"text that is no address", listing({adapter("eth0", {{"bogus", "255.255.x.0"}})}), -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = build(c.listing);
    EXPECT_EQ(b->status, c.status);
    EXPECT_FALSE(b->table.adapter_table_valid);
    EXPECT_EQ(b->table.adapter_count, 0);
    EXPECT_EQ(b->table.address_count, 0);
  }
}

TEST(AdapterTable, RebuildResetsCountersAndRunsTheCaptureMatcherOnSuccess) {
  netenv::AdapterTable table;
  test::ScriptedView view;
  std::vector<int> matched_counts;  // adapter_count seen by each matcher run
  bool valid_before_matching = true;
  auto matcher = [&](netenv::AdapterTable& built) {
    if (matched_counts.empty()) valid_before_matching = built.adapter_table_valid;
    matched_counts.push_back(built.adapter_count);
  };
  const auto two = listing({adapter("eth0", {{"10.0.0.1", "255.255.255.0"}}), adapter("eth1", {{"10.1.0.1", "255.255.0.0"}})});
  ASSERT_EQ(netenv::build_adapter_table(table, two, view, matcher), 0);
  EXPECT_FALSE(valid_before_matching);
  table.addresses[0].next_host = 40;
  ASSERT_EQ(netenv::build_adapter_table(table, two, view, matcher), 0);
  EXPECT_EQ(table.addresses[0].next_host, 1);
  EXPECT_EQ(netenv::build_adapter_table(table, listing({}), view, matcher), -3);
  EXPECT_EQ(matched_counts, (std::vector<int>{2, 2}));
  EXPECT_EQ(table.address_count, 2);
}

TEST(AdapterTable, KeepsTheAdaptersMacAndTypeAndCutsLongNamesTo149Characters) {
  auto b = build(listing({adapter(std::string(200, 'n'), {{"10.0.0.1", "255.0.0.0"}}, 23)}));
  ASSERT_EQ(b->status, 0);
  EXPECT_EQ(b->table.adapters[0].name, std::string(149, 'n'));
  EXPECT_EQ(b->table.adapters[0].name_length, 149);
  EXPECT_EQ(b->table.adapters[0].mac, (std::array<std::uint8_t, 6>{0x02, 0, 0, 0, 0, 'n'}));
  EXPECT_EQ(b->table.adapters[0].type, netenv::ppp_adapter_type);
}

}  // namespace
