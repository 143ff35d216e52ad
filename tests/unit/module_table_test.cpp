// Device replies, pairing, ordering and classification of Module table rows.
#include <gtest/gtest.h>

#include <vector>

#include "discovery/module_table.h"
#include "unit/discovery_test_bytes.h"

namespace {

using discovery::ModuleTable;
using discovery_test::ConfigurationReply;
using test::ipv4;

constexpr std::array<std::uint8_t, 6> mac_a{0x00, 0x20, 0x4A, 0x12, 0x34, 0x56};
constexpr std::array<std::uint8_t, 6> mac_b{0x00, 0x20, 0x4A, 0xAB, 0xCD, 0xEF};

// Decodes a reply from source into the next row, as the configuration pass does.
void add_row(ModuleTable& table, ConfigurationReply reply, const std::string& source, int subnet_index = 0) {
  discovery::decode_configuration_reply(table, table.found_count++, reply.bytes, ipv4(source), subnet_index);
}

ConfigurationReply reply_with_ip(std::array<std::uint8_t, 4> ip) {
  return discovery_test::tcp_module_reply().record(0, {ip[0], ip[1], ip[2], ip[3]});
}

std::vector<int> listed(const ModuleTable& table) {
  return {table.display_order.begin(), table.display_order.begin() + table.shown_count};
}

// A record address of 0.0.0.0 (the demo LAN's dynamic module) and the cap of 32 device replies
// are the search LAN tests'.
TEST(Pairing, FirstReplyFromTheSourceSettlesMacWirelessAndADynamicAddress) {
  ModuleTable table;
  add_row(table, reply_with_ip({0, 0, 1, 0}), "10.0.0.5");   // the dynamic marker
  add_row(table, reply_with_ip({10, 0, 0, 9}), "10.0.0.9");  // no device reply from its source
  add_row(table, reply_with_ip({0, 0, 1, 1}), "10.0.0.6");   // static, next to the marker
  table.rows[1].mac = mac_b;
  table.rows[2].raw_only = true;
  table.rows[2].dynamic_ip = true;
  discovery::store_device_reply(table, discovery_test::device_reply_bytes("W8", mac_a), ipv4("10.0.0.5"));
  discovery::store_device_reply(table, discovery_test::device_reply_bytes("E1", mac_b), ipv4("10.0.0.5"));
  discovery::store_device_reply(table, discovery_test::device_reply_bytes("8W", mac_b), ipv4("10.0.0.6"));
  discovery::pair_device_replies(table);
  EXPECT_EQ(table.rows[0].mac, mac_a);
  EXPECT_TRUE(table.rows[0].wireless);
  EXPECT_TRUE(table.rows[0].dynamic_ip);
  EXPECT_EQ(table.rows[0].ip, ipv4("10.0.0.5"));
  EXPECT_EQ(table.rows[1].mac, mac_b);
  EXPECT_EQ(table.rows[1].ip, ipv4("10.0.0.9"));
  EXPECT_FALSE(table.rows[1].dynamic_ip);
  const discovery::ModuleRow& fixed = table.rows[2];
  EXPECT_EQ(fixed.ip, ipv4("0.0.1.1"));
  EXPECT_FALSE(fixed.dynamic_ip);
  EXPECT_FALSE(fixed.wireless);
  EXPECT_EQ(fixed.mac, mac_b);
  EXPECT_EQ(fixed.device_type[0], '8');
  EXPECT_FALSE(fixed.raw_only);
}

TEST(Ordering, InsideByAddressThenOutsideInArrivalOrder) {
  const auto adapters =
      discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}, {"10.0.0.1", "255.0.0.0", 1}});
  ModuleTable table;
  add_row(table, reply_with_ip({192, 168, 1, 50}), "192.168.1.50");   // 0 inside
  add_row(table, reply_with_ip({172, 16, 0, 1}), "172.16.0.1");       // 1 outside, listed again by 5
  add_row(table, reply_with_ip({10, 0, 0, 3}), "10.0.0.3", 1);        // 2 inside entry 1
  add_row(table, reply_with_ip({192, 168, 1, 7}), "192.168.1.7");     // 3 inside
  add_row(table, reply_with_ip({10, 0, 0, 3}), "10.0.0.3");           // 4 outside, ip of inside row 2
  add_row(table, reply_with_ip({172, 16, 0, 1}), "172.16.0.1");       // 5 outside, the later one stays
  add_row(table, reply_with_ip({192, 168, 1, 50}), "192.168.1.50");   // 6 inside, same ip as 0: after it
  add_row(table, reply_with_ip({172, 16, 0, 0}), "172.16.0.0");       // 7 outside
  add_row(table, reply_with_ip({192, 168, 1, 255}), "192.168.1.255"); // 8 inside
  add_row(table, reply_with_ip({192, 168, 1, 1}), "192.168.1.1", 7);  // 9 no such entry: outside
  discovery::order_rows(table, adapters);
  EXPECT_EQ(listed(table), (std::vector<int>{2, 3, 0, 6, 8, 5, 7, 9}));
  EXPECT_EQ(table.inside_count, 5);
  EXPECT_EQ(table.outside_count, 3);
  EXPECT_EQ(table.shown_count, 8);
}

TEST(Classification, SensorModulesAndOutsideRows) {
  const auto adapters = discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}});
  struct Case {
    const char* name;
    std::array<std::uint8_t, 4> ip;
    std::uint8_t baud_code;
    std::uint16_t port;
    bool raw_only, outside, sensor;
  } cases[] = {
      {"57600 baud", {192, 168, 1, 5}, 9, 4001, false, false, true},
      {"38400 baud", {192, 168, 1, 5}, 0, 4001, false, false, true},
      {"9600 baud", {192, 168, 1, 5}, 2, 4001, false, false, false},
      {"unknown baud code", {192, 168, 1, 5}, 11, 4001, false, false, false},
      {"the usual port, not the expected one", {192, 168, 1, 5}, 9, 10050, false, false, false},
      {"captured only", {192, 168, 1, 5}, 9, 4001, true, false, false},
      {"other subnet", {192, 168, 2, 5}, 9, 4001, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModuleTable table;
    discovery::ModuleRow& row = table.rows[4];
    row.ip = platform::Ipv4Address::from_octets(c.ip[0], c.ip[1], c.ip[2], c.ip[3]);
    row.baud_code = c.baud_code;
    row.port = c.port;
    row.raw_only = c.raw_only;
    row.outside_subnet = !c.outside;
    row.sensor_module = !c.sensor;
    table.display_order[0] = 4;
    table.shown_count = 1;
    discovery::classify_rows(table, adapters, 4001);
    EXPECT_EQ(row.outside_subnet, c.outside);
    EXPECT_EQ(row.sensor_module, c.sensor);
  }
}

}  // namespace
