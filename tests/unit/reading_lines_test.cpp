#include "polling/reading_lines.h"

#include <gtest/gtest.h>
#include <string>

#include "support/scripted_view.h"

namespace {

using Record = std::array<std::uint8_t, polling::reading_record_bytes>;

Record text_record(const std::string& reply, int stored_length) {
  Record record{};
  std::copy_n(reply.begin(), std::min<std::size_t>(reply.size(), 43), record.begin());
  record[43] = static_cast<std::uint8_t>(stored_length);
  return record;
}
Record text_record(const std::string& reply) { return text_record(reply, static_cast<int>(reply.size())); }

Record snmp_record(const std::string& name, std::array<std::uint8_t, 4> values) {
  Record record{};
  record[0] = static_cast<std::uint8_t>(name.size());
  std::copy(name.begin(), name.end(), record.begin() + 1);
  for (std::size_t k = 0; k < values.size() && 1 + name.size() + k < record.size(); ++k) record[1 + name.size() + k] = values[k];
  return record;
}

const std::string standard = ":0004080071017801C800330E\r\n";
const std::string extended = ":0004100071017801C80033030000000000000003\r\n";
constexpr std::array<std::uint8_t, 4> snmp_values{0x15, 0x26, 0x42, 0x10};
constexpr std::array<std::uint8_t, 4> no_values{0xEE, 0xEE, 0xEE, 0xEE};

struct Case {
  const char* what;
  bool sensor = true;
  bool outside = false;
  bool raw = false;
  std::uint8_t mode = discovery::tcp;
  int connected = polling::ready;
  std::int8_t status = 1;
  Record record{};
  std::string line;
};

// The kinds of line the polling LAN test shows for its emulated modules (the standard and
// extended readings, SNMP, active upload, no mode, no sensor module, a refused connection, a
// bad checksum) are not repeated here.
TEST(ReadingLines, EveryLineKind) {
  const Case cases[] = {
      {.what = "outside", .sensor = false, .outside = true, .raw = true, .line = "01---<模块不在本机子网内!>---"},
      {.what = "raw only", .sensor = false, .raw = true, .line = "01---<在本机子网内,但参数不详,建议进行参数设置!>---"},
      {.what = "ATCP", .mode = discovery::atcp, .connected = -1, .line = "01 --< 模块当前为主动上传模式 >--"},
      {.what = "no sockets", .mode = discovery::snmp, .connected = -1, .line = "01 --<无法与模块建立连接!>--"},
      {.what = "no response over an old reply", .status = -2, .record = text_record(standard),
       .line = "01---<模块无响应!>---"},
      {.what = "SNMP no response", .mode = discovery::snmp, .status = -1, .record = snmp_record("9A1", snmp_values),
       .line = "01---<模块无响应!>---"},
      {.what = "43 bytes without the flag", .record = text_record(extended), .line = "01--V71--+23.500℃/45.6%RH"},
      {.what = "placeholders", .record = text_record(":0004080071FFFFFFFF003354\r\n"), .line = "01--V71--  ------ / ------"},
      {.what = "20 of 27 bytes", .record = text_record(standard, 20), .line = "01---<数据校验错误! >---"},
      {.what = "length past the record", .record = text_record(standard, 200), .line = "01---<数据校验错误! >---"},
      {.what = "SNMP below zero", .mode = discovery::snmp, .record = snmp_record("9A1", {0x85, 0x00, 0x30, 0x3F}),
       .line = "01--( 9A1  ) -05.300℃/ 0.0%RH  DI[5->0]: < 11 - 1111 > "},
      {.what = "SNMP no values", .mode = discovery::snmp, .record = snmp_record("9A1", no_values),
       .line = "01--( 9A1  ) ---.---℃/--.-%RH  DI[5->0]: < -- ---- >"},
      {.what = "SNMP 19-char name", .mode = discovery::snmp, .record = snmp_record("9123456789ABCDEFGHI", snmp_values),
       .line = "01--( 9123456789ABCDE  ) +21.400℃/38.2%RH  DI[5->0]: < 01 - 0000 > "},
      {.what = "SNMP without a name", .mode = discovery::snmp, .record = snmp_record("", snmp_values),
       .line = "01---<无响应数据!>---"},
      {.what = "SNMP name length past the record", .mode = discovery::snmp,
       .record = snmp_record(std::string(40, 'N'), snmp_values),
       .line = "01--( NNNNNNNNNNNNNNN  ) ---.---℃/--.-%RH  DI[5->0]: < -- ---- >"},
  };
  for (const Case& c : cases) {
    discovery::ModuleTable modules;
    polling::PollingTable polling;
    modules.shown_count = 1;
    modules.display_order[0] = 9;
    discovery::ModuleRow& m = modules.rows[9];
    m.sensor_module = c.sensor, m.outside_subnet = c.outside, m.raw_only = c.raw, m.work_mode = c.mode;
    polling::PollingRow& p = polling.rows[9];
    p.connected = c.connected, p.status = c.status, p.record = c.record;
    EXPECT_EQ(polling::reading_line(modules, polling, 0, false), c.line) << c.what;
  }
}

TEST(ReadingLines, ShowReadingsReplacesListedLinesAndKeepsTheScroll) {
  discovery::ModuleTable modules;
  polling::PollingTable polling;
  modules.shown_count = 3;
  modules.display_order[0] = 2, modules.display_order[1] = 0, modules.display_order[2] = 1;
  for (int r = 0; r < 3; ++r) modules.rows[r].sensor_module = true;
  polling.rows[2].connected = polling::ready;
  polling.rows[2].status = 1;
  polling.rows[2].record = text_record(standard);
  polling.rows[0].connected = polling::ready;
  polling.rows[0].status = -2;
  polling.rows[1].connected = 0;

  test::ScriptedView view;
  view.lines(ui::ListId::data) = {"a", "b", "c", "d", "e"};
  view.list_set_top_index(ui::ListId::data, 2);
  EXPECT_EQ(polling::show_readings(false, modules, polling, view), 0);
  EXPECT_EQ(view.lines(ui::ListId::data),
            (std::vector<std::string>{"01--V71--+23.500℃/45.6%RH", "02---<模块无响应!>---", "03 --<无法与模块建立连接!>--",
                                      "d", "e"}));
  EXPECT_EQ(view.list_top_index(ui::ListId::data), 2);
  EXPECT_EQ(view.list_top_index(ui::ListId::modules), 2);
}

}  // namespace
