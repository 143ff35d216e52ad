// The module list lines and their refresh.
#include <gtest/gtest.h>

#include <functional>

#include "discovery/search_result_line.h"
#include "support/scripted_view.h"
#include "unit/discovery_test_bytes.h"

namespace {

using discovery::ModuleTable;
using discovery_test::ConfigurationReply;
using test::ipv4;

const netenv::AdapterTable two_adapters =
    discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}, {"192.168.5.3", "255.255.255.0", 1}});

// A search's table holding the module that sent reply from 192.168.1.100.
ModuleTable searched(const ConfigurationReply& reply) {
  ModuleTable table;
  discovery::decode_configuration_reply(table, 0, reply.bytes, ipv4("192.168.1.100"), 0);
  discovery::store_device_reply(table, discovery_test::device_reply_bytes("E1", {0x00, 0x20, 0x4A, 0x12, 0x34, 0x56}),
                                ipv4("192.168.1.100"));
  discovery::pair_device_replies(table);
  table.found_count = table.shown_count = 1;
  discovery::order_rows(table, two_adapters);
  return table;
}

// Appends a row the way the capture of ARP frames does.
void append_captured(ModuleTable& table, const char* ip, const char* asked_for, int subnet_index) {
  const int r = table.shown_count;
  discovery::ModuleRow& row = table.rows[r];
  row.raw_only = true;
  row.mac = {0x00, 0x20, 0x4A, 0x01, 0x02, 0x03};
  row.ip = test::ipv4(ip);
  row.gateway = test::ipv4(asked_for);
  row.work_mode = discovery::no_mode;
  row.subnet_index = static_cast<std::uint8_t>(subnet_index);
  table.display_order[table.shown_count++] = r;
}

// The modes, the wireless, dynamic and SNMP marks, another port and a captured row are in the
// lines of the demo LAN's search (SearchLan); here the pieces it does not show.
TEST(SearchResultLine, EachPieceOfTheLine) {
  using Edit = std::function<void(ConfigurationReply&)>;
  struct Case {
    const char* name;
    Edit edit;
    const char* expected;
  } cases[] = {
      {"as the module answered", [](auto&) {},
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>"},
      {"plain firmware", [](auto& r) { r.record(32, {0x2F}); },
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>   10050 <192.168.1.1/255.255.255.0>"},
      // Listed past the rows inside (the row's own flag is not set: nothing classified it).
      {"outside the subnet", [](auto& r) { r.record(0, {192, 168, 2, 100}).record(12, {192, 168, 2, 1}); },
       "01  T *  192.168.  2.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.2.1/255.255.255.0>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationReply reply = discovery_test::tcp_module_reply();
    c.edit(reply);
    ModuleTable table = searched(reply);
    EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0), c.expected);
  }
}

TEST(SearchResultLine, CapturedRowHidesModeAndDynamicMarks) {
  ModuleTable table;
  append_captured(table, "192.168.1.44", "192.168.1.1", 0);
  table.rows[0].work_mode = discovery::atcp;
  table.rows[0].dynamic_ip = true;
  table.rows[0].active_capable = true;
  table.inside_count = 1;
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0),
            "01    *  192.168.  1. 44 [1:192.168.xx]  <00204A-010203>   ----- <192.168.1.1/--.--.--.-->");
}

TEST(SearchResultLine, RowWithoutAddressEntryAndBadPositions) {
  ModuleTable table;
  append_captured(table, "10.0.0.7", "10.0.0.1", 2);  // the capture's "no entry": address_count
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0),
            "01    *   10.  0.  0.  7 [1:  0.  0.xx]  <00204A-010203>   ----- <10.0.0.1/--.--.--.-->");
  table.display_order[1] = 32;
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 1), "");
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, -1), "");
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 32), "");
}

TEST(ModuleList, EmptyTableLeavesTheListAlone) {
  ModuleTable table;
  test::ScriptedView view;
  view.lines(ui::ListId::modules) = {"kept"};
  discovery::refresh_module_list(table, two_adapters, 10050, view);
  EXPECT_EQ(view.lines(ui::ListId::modules), std::vector<std::string>{"kept"});
  EXPECT_TRUE(view.selection.empty());
}

TEST(ModuleList, ListingAnActiveUploadRowMarksTheTable) {
  ModuleTable table = searched(discovery_test::tcp_module_reply().record(28, {0xCC, 3}));
  table.active_module_seen = false;  // set again by the listing, not only by the decoding
  test::ScriptedView view;
  discovery::refresh_module_list(table, two_adapters, 10050, view);
  EXPECT_TRUE(table.active_module_seen);

  ModuleTable captured;
  append_captured(captured, "10.0.0.7", "10.0.0.1", 1);
  captured.rows[0].work_mode = discovery::audp;
  discovery::refresh_module_list(captured, two_adapters, 10050, view);
  EXPECT_FALSE(captured.active_module_seen);
}

}  // namespace
