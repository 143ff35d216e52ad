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

constexpr std::array<std::uint8_t, 6> example_mac{0x00, 0x20, 0x4A, 0x12, 0x34, 0x56};
const char* const example_line =
    "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>";

const netenv::AdapterTable two_adapters =
    discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}, {"192.168.5.3", "255.255.255.0", 1}});

// A search's table: one row per reply, each paired with a device reply from its source.
struct Found {
  ConfigurationReply reply;
  std::string source;
  const char* type = "E1";
  std::array<std::uint8_t, 6> mac = example_mac;
};

ModuleTable searched(const std::vector<Found>& found) {
  ModuleTable table;
  for (const Found& f : found) {
    discovery::decode_configuration_reply(table, table.device_reply_count, f.reply.bytes, ipv4(f.source), 0);
    discovery::store_device_reply(table, discovery_test::device_reply_bytes(f.type, f.mac), ipv4(f.source));
  }
  discovery::pair_device_replies(table);
  table.found_count = table.shown_count = table.device_reply_count;
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

TEST(SearchResultLine, FirstExample) {
  ModuleTable table = searched({{discovery_test::tcp_module_reply(), "192.168.1.100"}});
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0), example_line);
}

TEST(SearchResultLine, CapturedRowExample) {
  ModuleTable table = searched({{discovery_test::tcp_module_reply().record(0, {192, 168, 1, 101}), "192.168.1.101"},
                                {discovery_test::tcp_module_reply().record(0, {192, 168, 1, 102}), "192.168.1.102"},
                                {discovery_test::tcp_module_reply().record(0, {192, 168, 1, 103}), "192.168.1.103"}});
  append_captured(table, "10.0.0.7", "10.0.0.1", 1);
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 3),
            "04    *   10.  0.  0.  7 [2:192.168.xx]  <00204A-010203>   ----- <10.0.0.1/--.--.--.-->");
}

TEST(SearchResultLine, EachPieceOfTheLine) {
  using Edit = std::function<void(ConfigurationReply&)>;
  struct Case {
    const char* name;
    Edit edit;
    const char* type;
    const char* expected;
  } cases[] = {
      {"no valid mode", [](auto& r) { r.record(28, {0xCC, 4}); }, "E1",
       "01  E -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>"},
      {"wireless", [](auto&) {}, "W8",
       "01  T -W 192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>"},
      {"dynamic address", [](auto& r) { r.record(0, {0, 0, 1, 0}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]D <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>"},
      {"SNMP-capable firmware", [](auto& r) { r.record(32, {0x2F, 0x99}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>S  10050 <192.168.1.1/255.255.255.0>"},
      {"plain firmware", [](auto& r) { r.record(32, {0x2F}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>   10050 <192.168.1.1/255.255.255.0>"},
      {"short port", [](auto& r) { r.record(20, {80, 0}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A     80 <192.168.1.1/255.255.255.0>"},
      {"host bits 0", [](auto& r) { r.record(6, {0}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/0.0.0.0>"},
      {"host bits 30", [](auto& r) { r.record(6, {30}); }, "E1",
       "01  T -  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.0.0.0>"},
      {"outside the subnet", [](auto& r) { r.record(0, {192, 168, 2, 100}).record(12, {192, 168, 2, 1}); }, "E1",
       "01  T *  192.168.  2.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.2.1/255.255.255.0>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationReply reply = discovery_test::tcp_module_reply();
    c.edit(reply);
    ModuleTable table = searched({{reply, "192.168.1.100", c.type}});
    EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0), c.expected);
  }
}

TEST(SearchResultLine, PositionDecidesThePlaceMark) {
  ModuleTable table = searched({{discovery_test::tcp_module_reply(), "192.168.1.100"}});
  table.inside_count = 0;
  EXPECT_EQ(discovery::search_result_line(table, two_adapters, 0),
            "01  T *  192.168.  1.100 [1:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>");
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

TEST(ModuleList, RefreshListsClassifiesAndSelects) {
  const auto slow_module = discovery_test::tcp_module_reply().record(0, {192, 168, 1, 20}).record(17, {2});
  ModuleTable table = searched({{discovery_test::tcp_module_reply(), "192.168.1.100"}, {slow_module, "192.168.1.20"}});
  append_captured(table, "10.0.0.7", "10.0.0.1", 1);
  test::ScriptedView view;
  view.lines(ui::ListId::modules) = {"stale"};
  discovery::refresh_module_list(table, two_adapters, 10050, view);
  const auto& lines = view.lines(ui::ListId::modules);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 25), "01  T -  192.168.  1. 20 ");
  EXPECT_EQ(lines[1], "02" + std::string(example_line).substr(2));
  EXPECT_EQ(lines[2].substr(0, 25), "03    *   10.  0.  0.  7 ");
  EXPECT_EQ(view.selection, std::vector<int>{0});
  EXPECT_FALSE(table.rows[1].sensor_module);  // 9600 baud
  EXPECT_TRUE(table.rows[0].sensor_module);
  EXPECT_FALSE(table.rows[2].sensor_module);
  EXPECT_FALSE(table.active_module_seen);
}

TEST(ModuleList, EmptyTableLeavesTheListAlone) {
  ModuleTable table;
  test::ScriptedView view;
  view.lines(ui::ListId::modules) = {"kept"};
  discovery::refresh_module_list(table, two_adapters, 10050, view);
  EXPECT_EQ(view.lines(ui::ListId::modules), std::vector<std::string>{"kept"});
  EXPECT_TRUE(view.selection.empty());
}

TEST(ModuleList, AtMostThirtyTwoLines) {
  std::vector<Found> found;
  for (int i = 0; i < 32; ++i) {
    found.push_back({discovery_test::tcp_module_reply().record(0, {192, 168, 1, static_cast<std::uint8_t>(100 + i)}),
                     "192.168.1." + std::to_string(100 + i)});
  }
  ModuleTable table = searched(found);
  table.shown_count = 40;
  test::ScriptedView view;
  discovery::refresh_module_list(table, two_adapters, 10050, view);
  EXPECT_EQ(table.shown_count, 32);
  ASSERT_EQ(view.lines(ui::ListId::modules).size(), 32u);
  EXPECT_EQ(view.lines(ui::ListId::modules)[31].substr(0, 25), "32  T -  192.168.  1.131 ");
}

TEST(ModuleList, ListingAnActiveUploadRowMarksTheTable) {
  ModuleTable table = searched({{discovery_test::tcp_module_reply().record(28, {0xCC, 3}), "192.168.1.100"}});
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

TEST(ModuleList, RemoteModeShowsTheTypedAddressAndKeepsTheFlags) {
  ModuleTable table;
  discovery::decode_configuration_reply(table, 0, discovery_test::tcp_module_reply().record(0, {10, 1, 1, 1}).bytes,
                                        ipv4("10.9.8.7"), 1);
  table.rows[0].mac = example_mac;
  table.rows[0].sensor_module = true;
  table.display_order[0] = 0;
  table.shown_count = 1;
  test::ScriptedView view;
  discovery::refresh_module_list(table, two_adapters, 10050, view, ipv4("10.9.8.7"));
  ASSERT_EQ(view.lines(ui::ListId::modules).size(), 1u);
  EXPECT_EQ(view.lines(ui::ListId::modules)[0],
            "01  T *   10.  9.  8.  7 [2:192.168.xx]  <00204A-123456>A  10050 <192.168.1.1/255.255.255.0>");
  EXPECT_TRUE(table.rows[0].sensor_module);
  EXPECT_FALSE(table.rows[0].outside_subnet);
}

}  // namespace
