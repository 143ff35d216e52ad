#include "server/upload_records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/ipv4_text.h"
#include "support/scripted_view.h"

namespace {

using test::ipv4;

using server::Identity;
using server::PeerAddress;

std::vector<std::uint8_t> bytes(const std::string& text) { return {text.begin(), text.end()}; }

Identity identity(const std::string& text) {
  Identity id{};
  for (std::size_t i = 0; i < id.size() && i < text.size(); ++i) id[i] = static_cast<std::uint8_t>(text[i]);
  return id;
}

// MAC text, identifier, 23.5 degrees, 45.6 %RH, inputs 0x25.
const std::string full_record = "00204A0102030A1B017801C825";

const std::string temperature = "+23.500℃/";
const std::string humidity = "45.6%RH";
const std::string inputs = "  DI[5->0]: < 10 - 0101 >";
const std::string no_temperature = "  ------ /";
const std::string no_humidity = " ------";
const std::string no_inputs = "-<---- ---->";

// The upload server's tests see the TCP banner, the waiting line and both data heads whole;
// here the UDP banner with the lookup's "--none--" and the widest head.
TEST(UploadLines, WidestBannerAndDataHead) {
  EXPECT_EQ(server::banner_line(false, ipv4("10.0.0.2"), "--none--", 65535),
            "Server: UDP;  内/外IP: 10.0.0.2/--none--;   PORT:65535; ");
  EXPECT_EQ(server::tcp_data_head(499, {13, 4, 5}, 32, 32, {ipv4("192.168.100.200"), 65535}),
            "499-13:04:05 -> sn:32/32, <T: 192.168.100.200/65535>");
}

TEST(UploadLines, SummaryLineEndsTextsAtAZeroByte) {
  const PeerAddress peer{ipv4("10.1.2.3"), 1025};
  struct Case {
    std::string identity;
    std::string mac_and_mid;
  } cases[] = {
      {"00204A0102030A1B", "00204A010203 -- MID: 0A1B"},
      {std::string("00204A\0" "12345\0" "0A1B", 16), "00204A -- MID: "},
      {std::string("00204A01020312\0" "4", 16), "00204A010203 -- MID: 12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(server::summary_line(0, {1, 2, 3}, identity(c.identity), peer, 1),
              " 1 - 01:02:03 -> MAC: " + c.mac_and_mid + " -- IP:  10.  1.  2.  3 -- PORT:  1025 -- CNT: 0001");
  }
  EXPECT_EQ(server::summary_line(99, {23, 59, 59}, identity("ABCDEFGHIJKLMNOP"), {ipv4("1.2.3.4"), 80}, 0),
            "100 - 23:59:59 -> MAC: ABCDEFGHIJKL -- MID: MNOP -- IP:   1.  2.  3.  4 -- PORT:    80 -- CNT: 0000");
}

// A whole record's line and the readings it leaves for the polling row are the upload server's
// tests (UploadServerTcp); here the records cut short.
TEST(UploadRecord, ShortRecordsNeverShowBytesTheyDidNotCarry) {
  struct Case {
    std::size_t length;
    std::string readings;
    std::string stored_identity;
  } cases[] = {
      {40, temperature + humidity + inputs, "00204A0102030A1B"},  // bytes after 25 ignored
      {26, temperature + humidity + inputs, "00204A0102030A1B"},
      {25, temperature + humidity + no_inputs, "00204A0102030A1B"},
      {24, temperature + humidity + no_inputs, "00204A0102030A1B"},
      {23, temperature + no_humidity + no_inputs, "00204A0102030A1B"},
      {20, temperature + no_humidity + no_inputs, "00204A0102030A1B"},
      {19, no_temperature + no_humidity + no_inputs, "00204A0102030A1B"},
      {16, no_temperature + no_humidity + no_inputs, "00204A0102030A1B"},
      {12, no_temperature + no_humidity + no_inputs, "00204A010203"},
      {5, no_temperature + no_humidity + no_inputs, "00204"},
      {0, no_temperature + no_humidity + no_inputs, ""},
  };
  const std::vector<std::uint8_t> long_record = bytes(full_record + "0123456789ABCD");
  for (const Case& c : cases) {
    // The slot held a complete record before: nothing of it may show through.
    Identity stored{};
    server::ReadingRecord readings{};
    std::string earlier;
    server::decode_record(long_record, stored, readings, earlier);
    std::string line = "head";
    server::decode_record(std::span(long_record).first(c.length), stored, readings, line);
    EXPECT_EQ(line, "head     " + c.readings) << c.length;
    EXPECT_EQ(stored, identity(c.stored_identity)) << c.length;
  }
}

TEST(UploadSummary, ModulesAreTheSameByMacCharacters0To1And6To11) {
  const Identity base = identity("00204A0102030A1B");
  struct Case {
    const char* other;
    bool same;
  } cases[] = {
      {"00204A0102030A1B", true},  {"00FFFF0102030A1B", true},  // 2..5 ignored
      {"00204A010203FFFF", true},                               // identifier ignored
      {"10204A0102030A1B", false}, {"01204A0102030A1B", false}, {"00204A1102030A1B", false},
      {"00204A0102040A1B", false},
  };
  for (const Case& c : cases) EXPECT_EQ(server::same_module(base, identity(c.other)), c.same) << c.other;
}

TEST(UploadSummary, CounterStartsAt1AndWrapsAfter9999) {
  server::UploadSummary summary;
  const Identity a = identity("00204A0102030A1B");
  EXPECT_EQ(server::count_record(summary, a), 0);
  EXPECT_EQ(summary.rows[0].counter, 1u);
  for (int i = 2; i <= 9999; ++i) server::count_record(summary, a);
  EXPECT_EQ(summary.rows[0].counter, 9999u);
  server::count_record(summary, a);
  EXPECT_EQ(summary.rows[0].counter, 0u);
  server::count_record(summary, a);
  EXPECT_EQ(summary.rows[0].counter, 1u);
  EXPECT_EQ(summary.row_count, 1);
}

TEST(UploadSummary, A101stModuleGetsNoRowWhileTheOthersStillCount) {
  server::UploadSummary summary;
  auto module = [](int n) {
    char text[17];
    std::snprintf(text, sizeof text, "002099%06d0001", n);
    return identity(text);
  };
  for (int n = 0; n < server::max_summary_rows; ++n) EXPECT_EQ(server::count_record(summary, module(n)), n);
  EXPECT_EQ(server::count_record(summary, module(100)), server::no_summary_row);
  EXPECT_EQ(server::count_record(summary, module(100)), server::no_summary_row);
  EXPECT_EQ(summary.row_count, server::max_summary_rows);
  EXPECT_EQ(server::count_record(summary, module(99)), 99);
  EXPECT_EQ(summary.rows[99].counter, 2u);
}

TEST(UploadSummary, RowsFollowTheBannerAndShowTheLatestRecord) {
  test::ScriptedView view;
  server::UploadSummary summary;
  const PeerAddress first{ipv4("192.168.1.20"), 4001}, second{ipv4("192.168.1.21"), 4002};
  view.lines(ui::ListId::modules) = {"banner"};
  const Identity a = identity("00204A0102030A1B"), b = identity("00204A0102040A1B");
  const Identity a_again = identity("00FFFF0102030C0D");
  EXPECT_EQ(server::update_summary(summary, a, first, {8, 0, 0}, view), 0);
  EXPECT_EQ(server::update_summary(summary, b, second, {8, 0, 1}, view), 1);
  EXPECT_EQ(server::update_summary(summary, a_again, second, {8, 0, 2}, view), 0);
  const std::vector<std::string> expected = {
      "banner",
      " 1 - 08:00:02 -> MAC: 00FFFF010203 -- MID: 0C0D -- IP: 192.168.  1. 21 -- PORT:  4002 -- CNT: 0002",
      " 2 - 08:00:01 -> MAC: 00204A010204 -- MID: 0A1B -- IP: 192.168.  1. 21 -- PORT:  4002 -- CNT: 0001",
  };
  EXPECT_EQ(view.lines(ui::ListId::modules), expected);
  EXPECT_EQ(summary.rows[0].identity, a);  // the first record's identity stays
}

TEST(UploadIntervals, SecondsSinceThePreviousRecordOfTheIndexCountedFromTheBanner) {
  test::ScriptedView view;
  view.lines(ui::ListId::modules) = {"old row", "another"};
  view.lines(ui::ListId::data) = {"old log"};
  server::IntervalTable intervals;
  server::write_banner("banner", {9, 5, 7}, 1000, intervals, view);
  EXPECT_EQ(view.lines(ui::ListId::modules), std::vector<std::string>{"banner"});
  EXPECT_EQ(view.lines(ui::ListId::data), std::vector<std::string>{"09:05:07 -> 等待上传数据..."});
  struct Step {
    int index;
    std::uint32_t now_ms;
    const char* appended;
  } steps[] = {
      {0, 3500, "--   2.5"},   // the first interval counts from the banner
      {0, 3600, "--   0.1"},   {31, 1000, "--   0.0"},
      {32, 61000, "--  60.0"},  // rows beyond the 32 slots have their own entries
      {99, 1235567, "-- 1234.6"}, {server::max_summary_rows, 5000, ""}, {server::no_summary_row, 5000, ""},
  };
  for (const Step& s : steps) {
    std::string line;
    server::append_interval(intervals, s.index, s.now_ms, line);
    EXPECT_EQ(line, s.appended) << s.index;
  }
  intervals.previous_ms[5] = 0xFFFFFF00u;  // across the wrap of the tick count
  std::string line;
  server::append_interval(intervals, 5, 0x100u, line);
  EXPECT_EQ(line, "--   0.5");
}

}  // namespace
