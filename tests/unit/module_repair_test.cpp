// Module repair: the address it picks in each subnet, the requests it sends, and how its
// steps end, over a fake network.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "maint/module_repair.h"
#include "maint/repair_addresses.h"
#include "support/ipv4_text.h"

namespace {

using test::ipv4;

std::string text(platform::Ipv4Address ip) { return ip.dotted(); }

netenv::AddressEntry entry(const char* ip, const char* mask, int adapter = 0) {
  netenv::AddressEntry e;
  e.ip = ipv4(ip);
  e.mask = ipv4(mask);
  e.adapter = adapter;
  const int capacity = std::min<int>(static_cast<int>((~e.mask).host_order()), 255);
  e.last_host = capacity > 127 ? 254 : capacity - 1;
  return e;
}

netenv::AdapterTable table(std::initializer_list<netenv::AddressEntry> entries, int adapter_count) {
  netenv::AdapterTable t;
  for (const auto& e : entries) t.addresses[static_cast<std::size_t>(t.address_count++)] = e;
  t.adapter_count = adapter_count;
  t.adapter_table_valid = true;
  return t;
}

TEST(RepairAddresses, SubnetByClassUnlessTheOwnMaskIsLonger) {
  const struct {
    const char* ip;
    const char* mask;
    const char* first_candidate;
  } cases[] = {
      {"10.1.2.3", "255.0.0.0", "10.0.0.1"},
      {"10.1.2.3", "255.255.255.0", "10.1.2.1"},    // longer than class A
      {"172.16.5.9", "255.255.0.0", "172.16.0.1"},
      {"192.168.7.9", "255.255.0.0", "192.168.7.1"},  // shorter than class C: the class wins
      {"192.168.1.200", "255.255.255.128", "192.168.1.129"},
      {"127.1.2.3", "255.255.0.0", "127.1.0.1"},      // 127 counts as class A
      {"230.1.2.3", "255.255.255.0", "230.1.2.1"},    // no class: the own mask
  };
  for (const auto& c : cases) {
    netenv::AddressEntry e = entry(c.ip, c.mask);
    platform::Ipv4Address candidate;
    EXPECT_EQ(maint::find_free_address(e, [](platform::Ipv4Address) { return 0; }, candidate), maint::free_address_found);
    EXPECT_EQ(text(candidate), c.first_candidate) << c.ip << "/" << c.mask;
  }
}

TEST(RepairAddresses, SkipsAddressesInUseAndWrapsToTheFirstHost) {
  netenv::AddressEntry e = entry("192.168.1.10", "255.255.255.0");
  e.next_host = 253;
  std::set<std::string> in_use{"192.168.1.253", "192.168.1.254", "192.168.1.1"};
  std::vector<std::string> asked;
  auto probe = [&](platform::Ipv4Address ip) {
    asked.push_back(text(ip));
    return in_use.count(text(ip)) ? 1 : 0;
  };
  platform::Ipv4Address candidate;
  EXPECT_EQ(maint::find_free_address(e, probe, candidate), maint::free_address_found);
  EXPECT_EQ(text(candidate), "192.168.1.2");
  EXPECT_EQ(asked, (std::vector<std::string>{"192.168.1.253", "192.168.1.254", "192.168.1.1", "192.168.1.2"}));
  EXPECT_EQ(e.next_host, 2);
}

TEST(RepairAddresses, AFullSubnetEndsWhereItBegan) {
  netenv::AddressEntry e = entry("192.168.1.10", "255.255.255.248");  // hosts 1..6
  e.next_host = 4;
  int probes = 0;
  platform::Ipv4Address candidate;
  EXPECT_EQ(maint::find_free_address(e, [&](platform::Ipv4Address) { return ++probes, 1; }, candidate),
            maint::no_free_address);
  EXPECT_EQ(probes, 6);
  EXPECT_EQ(e.next_host, 4);

  netenv::AddressEntry point_to_point = entry("10.0.0.1", "255.255.255.254");
  EXPECT_EQ(maint::find_free_address(point_to_point, [&](platform::Ipv4Address) { return ++probes, 0; }, candidate),
            maint::no_free_address);
  EXPECT_EQ(probes, 6);  // not even asked

  EXPECT_EQ(maint::find_free_address(e, [](platform::Ipv4Address) { return -4; }, candidate), maint::address_probe_error);
}

// The network as repair sees it: which addresses answer; the setup port always succeeds.
class FakeRepairLink : public maint::RepairLink {
 public:
  int presence = -3;
  bool socket_opens = true;
  bool send_works = true;
  std::set<std::string> in_use;             // answer before the repair
  std::map<std::string, int> after_restart;  // answer after the wait: 1, 0 or a probe code
  std::vector<int> presence_entries;
  std::vector<std::pair<std::string, maint::AddressAssignment>> sent;
  std::vector<std::string> restored;
  std::vector<int> waits_ms;
  bool socket_open = false;
  bool cancel_after_presence = false;  // the operator leaves during the presence probe
  bool cancel_during_wait = false;     // or during the restart wait
  bool is_cancelled = false;

  int presence_probe(int entry, maint::MacTail) override {
    presence_entries.push_back(entry);
    is_cancelled = cancel_after_presence;
    return presence;
  }
  bool open_broadcast_socket() override { return socket_open = socket_opens; }
  bool send_assignment(platform::Ipv4Address destination, const maint::AddressAssignment& request) override {
    EXPECT_TRUE(socket_open);
    sent.emplace_back(text(destination), request);
    return send_works;
  }
  void close_broadcast_socket() override { socket_open = false; }
  int address_in_use(platform::Ipv4Address ip) override {
    if (waits_ms.empty()) return in_use.count(text(ip)) ? 1 : 0;
    auto it = after_restart.find(text(ip));
    return it == after_restart.end() ? 0 : it->second;
  }
  void wait_ms(int ms) override {
    waits_ms.push_back(ms);
    is_cancelled = is_cancelled || cancel_during_wait;
  }
  bool cancelled() const override { return is_cancelled; }
  int restore_by_setup_port(platform::Ipv4Address ip) override {
    restored.push_back(text(ip));
    return 0;
  }
};

const maint::MacTail tail{0x0B, 0x2C};
const maint::RepairTarget from_dialog{maint::RepairTarget::Origin::dialog, tail};

auto one_subnet() { return table({entry("192.168.1.10", "255.255.255.0")}, 1); }

// The whole repair of a silent module, request bytes included, is the LAN's test.
TEST(ModuleRepair, TheNextRepairStartsAfterTheAddressJustGiven) {
  auto adapters = one_subnet();
  for (const char* given : {"192.168.1.1", "192.168.1.2"}) {
    FakeRepairLink link;
    EXPECT_EQ(maint::repair_module(adapters, link, from_dialog), maint::repair_not_found);
    ASSERT_EQ(link.sent.size(), 1u);
    const maint::AddressAssignment& request = link.sent[0].second;
    EXPECT_EQ(platform::Ipv4Address::from_octets(request[16], request[17], request[18], request[19]), ipv4(given));
  }
}

TEST(ModuleRepair, OneRequestPerAdapterAndNoFollowUpWhenASubnetIsFull) {
  // Adapter 0 holds two subnets, adapter 1 a full /29.
  auto adapters = table({entry("192.168.1.10", "255.255.255.0", 0), entry("192.168.2.10", "255.255.255.0", 0),
                         entry("10.9.9.1", "255.255.255.248", 1)},
                        2);
  FakeRepairLink link;
  for (int h = 1; h <= 6; ++h) link.in_use.insert("10.9.9." + std::to_string(h));
  EXPECT_EQ(maint::repair_module(adapters, link, from_dialog), 0);
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0].first, "192.168.1.255");
  EXPECT_TRUE(link.restored.empty());
  EXPECT_EQ(link.waits_ms, std::vector<int>{9000});

  // Both adapters with room: both get a request and both addresses are followed up; found
  // on one of them is enough.
  auto two = table({entry("192.168.1.10", "255.255.255.0", 0), entry("192.168.2.10", "255.255.255.0", 1)}, 2);
  FakeRepairLink both;
  both.after_restart = {{"192.168.2.1", 1}};
  EXPECT_EQ(maint::repair_module(two, both, from_dialog), 0);
  EXPECT_EQ(both.sent.size(), 2u);
  EXPECT_EQ(both.restored, std::vector<std::string>{"192.168.2.1"});
}

TEST(ModuleRepair, SelectedRowRepairsItsOwnSubnetOnly) {
  auto adapters = table({entry("192.168.1.10", "255.255.255.0", 0), entry("192.168.5.3", "255.255.255.0", 1)}, 2);
  discovery::ModuleRow selected;
  selected.mac = {0x00, 0x20, 0x4A, 0x99, 0x0B, 0x2C};
  selected.subnet_index = 1;
  maint::RepairTarget row = maint::selected_row_target(selected);
  FakeRepairLink link;
  EXPECT_EQ(maint::repair_module(adapters, link, row), 0);
  EXPECT_TRUE(link.presence_entries.empty());  // a row the search found is not probed
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0].first, "192.168.5.255");
  EXPECT_TRUE(link.waits_ms.empty());  // nor waited for

  row.raw_only = true;
  FakeRepairLink raw;
  raw.after_restart = {{"192.168.5.2", 1}};
  EXPECT_EQ(maint::repair_module(adapters, raw, row), 0);
  EXPECT_EQ(raw.presence_entries, std::vector<int>{1});
  EXPECT_EQ(raw.restored, std::vector<std::string>{"192.168.5.2"});

  auto full = table({entry("10.9.9.1", "255.255.255.252", 0)}, 1);  // hosts 1..2
  FakeRepairLink no_room;
  no_room.in_use = {"10.9.9.1", "10.9.9.2"};
  row.subnet_index = 0;
  EXPECT_EQ(maint::repair_module(full, no_room, row), maint::repair_no_free_address);
}

// A module restored over the setup port, or one whose setup fails: the LAN's tests.
TEST(ModuleRepair, EndsAtAFailedOrCancelledStepOrASilentFollowUp) {
  const struct {
    const char* name;
    void (*arrange)(FakeRepairLink&);
    int expected;
    std::size_t sent;
  } cases[] = {
      {"no socket", [](FakeRepairLink& l) { l.socket_opens = false; }, maint::repair_socket_failed, 0},
      {"send fails", [](FakeRepairLink& l) { l.send_works = false; }, maint::repair_send_failed, 1},
      {"cancelled in the presence probe", [](FakeRepairLink& l) { l.cancel_after_presence = true; }, maint::repair_cancelled, 0},
      {"cancelled in the restart wait", [](FakeRepairLink& l) { l.cancel_during_wait = true; }, maint::repair_cancelled, 1},
      {"silent at its new address", [](FakeRepairLink& l) { l.after_restart.clear(); }, maint::repair_not_found, 1},
      {"follow-up probe cannot run", [](FakeRepairLink& l) { l.after_restart = {{"192.168.1.1", -2}}; },
       maint::repair_follow_up_probe_error, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto adapters = one_subnet();
    FakeRepairLink link;
    link.after_restart = {{"192.168.1.1", 1}};
    c.arrange(link);
    EXPECT_EQ(maint::repair_module(adapters, link, from_dialog), c.expected);
    EXPECT_EQ(link.sent.size(), c.sent);
    EXPECT_TRUE(link.restored.empty());
    EXPECT_FALSE(link.socket_open);
  }
}

}  // namespace
