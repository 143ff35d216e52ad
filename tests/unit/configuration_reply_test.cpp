// Decoding configuration replies into Module table rows.
#include <gtest/gtest.h>

#include <cstring>

#include "discovery/module_table.h"
#include "unit/discovery_test_bytes.h"

namespace {

using discovery::ModuleTable;
using discovery_test::ConfigurationReply;
using test::ipv4;

TEST(ConfigurationReply, DecodesEveryField) {
  ConfigurationReply reply;
  reply.record(0, {10, 1, 2, 3})
      .record(4, {0xAB})  // a byte the program never reads, carried in the copy
      .record(6, {8})
      .record(12, {10, 1, 2, 254})
      .record(17, {9})
      .record(20, {0x42, 0x27})
      .record(22, {0x45, 0x1F})
      .record(24, {172, 16, 0, 9})
      .record(28, {0xCC, 0x03})
      .record(32, {0x31})
      .record(33, {0x99})
      .record(36, {0x12, 0x34})
      .record(38, {11})
      .record(39, {0x10})
      .record(66, {8, 8, 4, 4})
      .record(70, {'u', 'p', '.', 'e', 'x'})
      .record(119, {0x5A});
  ModuleTable table;
  ASSERT_TRUE(discovery::decode_configuration_reply(table, 3, reply.bytes, ipv4("10.1.2.3"), 2));

  const discovery::ModuleRow& row = table.rows[3];
  EXPECT_EQ(row.subnet_index, 2);
  EXPECT_EQ(row.reply_source, ipv4("10.1.2.3"));
  EXPECT_EQ(row.ip, ipv4("10.1.2.3"));
  EXPECT_EQ(row.host_bits, 8);
  EXPECT_EQ(row.gateway, ipv4("10.1.2.254"));
  EXPECT_EQ(row.baud_code, 9);
  EXPECT_EQ(row.port, 10050);
  EXPECT_EQ(row.server_port, 8005);
  EXPECT_EQ(row.server_ip, ipv4("172.16.0.9"));
  EXPECT_EQ(row.work_mode, discovery::audp);
  EXPECT_EQ(row.firmware_level, 0x31);
  EXPECT_TRUE(row.active_capable);
  EXPECT_TRUE(row.snmp_capable);
  EXPECT_EQ(row.module_code, 0x1234);
  EXPECT_EQ(row.upload_interval, 11);
  EXPECT_EQ(row.server_by_name, 0x10);
  EXPECT_EQ(row.dns_ip, ipv4("8.8.4.4"));
  EXPECT_STREQ(row.server_name.data(), "up.ex");
  EXPECT_TRUE(std::equal(row.record.begin(), row.record.end(), reply.bytes.begin() + 4));
  EXPECT_TRUE(table.active_module_seen);
  // Only the addressed row changes.
  EXPECT_EQ(table.rows[2].ip, platform::Ipv4Address{});
  EXPECT_EQ(table.rows[4].ip, platform::Ipv4Address{});
}

TEST(ConfigurationReply, FullLengthServerNameStaysTerminated) {
  ConfigurationReply reply;
  for (int i = 0; i < 40; ++i) reply.record(70 + i, {'a'});
  reply.record(110, {'!'});  // the byte after the name field is not part of it
  ModuleTable table;
  ASSERT_TRUE(discovery::decode_configuration_reply(table, 0, reply.bytes, {}, 0));
  EXPECT_EQ(std::strlen(table.rows[0].server_name.data()), 40u);
}

TEST(ConfigurationReply, CapabilityThresholds) {
  struct Case {
    std::uint8_t level, snmp_byte;
    bool active, snmp;
  } cases[] = {
      {0x2F, 0x98, false, false},
      {0x30, 0x00, true, false},
      {0x00, 0x99, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << int{c.level} << " byte 33 " << int{c.snmp_byte});
    ConfigurationReply reply;
    reply.record(32, {c.level, c.snmp_byte});
    ModuleTable table;
    discovery::decode_configuration_reply(table, 0, reply.bytes, {}, 0);
    EXPECT_EQ(table.rows[0].active_capable, c.active);
    EXPECT_EQ(table.rows[0].snmp_capable, c.snmp);
  }
}

// The plain TCP, UDP and SNMP modes are read from every emulated module of the LAN tests.
TEST(ConfigurationReply, WorkModeTable) {
  using namespace discovery;
  struct Case {
    std::uint8_t family, sub_mode, previous, expected;
    bool marks_active;
  } cases[] = {
      {0xC0, 4, tcp, atcp, true},
      {0xCC, 4, tcp, no_mode, false},
      {0xC0, 1, tcp, no_mode, false},
      {0xC0, 0xFF, udp, no_mode, false},
      // A family byte that is neither TCP nor UDP leaves the mode the row had, and a kept
      // active mode is not a decoded one.
      {0x00, 0, snmp, snmp, false},
      {0xCD, 1, atcp, atcp, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "family " << int{c.family} << " sub " << int{c.sub_mode});
    ModuleTable table;
    table.rows[5].work_mode = c.previous;
    ConfigurationReply reply;
    reply.record(28, {c.family, c.sub_mode});
    decode_configuration_reply(table, 5, reply.bytes, {}, 0);
    EXPECT_EQ(table.rows[5].work_mode, c.expected);
    EXPECT_EQ(table.active_module_seen, c.marks_active);
  }
}

TEST(ConfigurationReply, RowOutsideTheTableIsRefused) {
  ModuleTable table;
  const auto reply = discovery_test::tcp_module_reply().bytes;
  for (int row : {-1, 32, 1000}) EXPECT_FALSE(discovery::decode_configuration_reply(table, row, reply, {}, 0)) << row;
  EXPECT_TRUE(discovery::decode_configuration_reply(table, 31, reply, {}, 0));
  EXPECT_EQ(table.rows[31].ip, ipv4("192.168.1.100"));
}

}  // namespace
