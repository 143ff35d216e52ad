#include "config/record_edits.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>

#include "support/ipv4_text.h"

namespace {

using test::ipv4;

using Record = std::array<std::uint8_t, discovery::record_size>;

// Every byte different from every other and from every value the edits write below.
Record distinct_record() {
  Record r;
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>(0x80 + i);
  return r;
}

netenv::PendingParameters pending_for(int work_mode) {
  netenv::PendingParameters p;
  p.new_module_ip = ipv4("10.1.2.3");
  p.new_gateway = ipv4("10.1.2.254");
  p.host_bits = 8;
  p.port = 12345;     // the network section writes 10050 whatever this says
  p.baud_index = 7;   // and baud code 0
  p.work_mode = work_mode;
  p.server_ip = ipv4("192.0.2.9");
  p.server_port = 0x1F45;  // 8005
  p.module_code = 0xABCD;
  p.upload_interval = 0x11;
  p.server_by_name = true;
  p.dns_ip = ipv4("198.51.100.53");
  std::memcpy(p.server_name.data(), "up.example", 10);
  return p;
}

std::set<std::size_t> changed_offsets(const Record& before, const Record& after) {
  std::set<std::size_t> changed;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) changed.insert(i);
  }
  return changed;
}

std::set<std::size_t> range(std::size_t from, std::size_t to) {
  std::set<std::size_t> s;
  for (std::size_t i = from; i <= to; ++i) s.insert(i);
  return s;
}

TEST(RecordEdits, NetworkSectionAndPlainWorkModeChangeExactlyTheirBytes) {
  Record record = distinct_record();
  const Record before = record;
  config::apply_pending_parameters(record, pending_for(1), true);

  std::set<std::size_t> expected = {0, 1, 2, 3, 6, 12, 13, 14, 15, 17, 20, 21, 28, 29};
  EXPECT_EQ(changed_offsets(before, record), expected);
  const Record want_named = [&] {
    Record r = before;
    const std::uint8_t named[][2] = {{0, 10}, {1, 1},   {2, 2},  {3, 3},     {6, 8},  {12, 10}, {13, 1},
                                     {14, 2}, {15, 254}, {17, 0}, {20, 0x42}, {21, 0x27}, {28, 0xCC}, {29, 1}};
    for (const auto& n : named) r[n[0]] = n[1];
    return r;
  }();
  EXPECT_EQ(record, want_named);
}

TEST(RecordEdits, ActiveUploadModesWriteTheUploadSectionBesideTheMode) {
  Record record = distinct_record();
  const Record before = record;
  config::apply_pending_parameters(record, pending_for(4), false);

  std::set<std::size_t> expected = range(22, 29);
  for (std::size_t i : range(36, 39)) expected.insert(i);
  for (std::size_t i : range(66, 109)) expected.insert(i);
  EXPECT_EQ(changed_offsets(before, record), expected);
  const std::uint8_t upload[] = {0x45, 0x1F, 192, 0, 2, 9, 0xC0, 4};
  EXPECT_TRUE(std::equal(std::begin(upload), std::end(upload), record.begin() + 22));
  EXPECT_EQ(record[36], 0xAB);
  EXPECT_EQ(record[37], 0xCD);
  EXPECT_EQ(record[38], 0x11);
  EXPECT_EQ(record[39], 0x10);
  const std::uint8_t dns[] = {198, 51, 100, 53};
  EXPECT_TRUE(std::equal(std::begin(dns), std::end(dns), record.begin() + 66));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 70)), "up.example");
  EXPECT_TRUE(std::all_of(record.begin() + 80, record.begin() + 110, [](std::uint8_t b) { return b == 0; }));

  // AUDP sits in the UDP family; IP mode writes 0 into byte 39.
  netenv::PendingParameters by_ip = pending_for(3);
  by_ip.server_by_name = false;
  config::apply_pending_parameters(record, by_ip, false);
  EXPECT_EQ(record[28], 0xCC);
  EXPECT_EQ(record[29], 3);
  EXPECT_EQ(record[39], 0);
}

TEST(RecordEdits, WorkModesOutsideTheTableLeaveTheRecordAlone) {
  for (int mode : {-1, 5, 0xFF}) {
    Record record = distinct_record();
    config::apply_pending_parameters(record, pending_for(mode), false);
    EXPECT_EQ(record, distinct_record()) << mode;
  }
  // TCP without the network section: only the two mode bytes.
  Record record = distinct_record();
  config::apply_pending_parameters(record, pending_for(0), false);
  EXPECT_EQ(changed_offsets(distinct_record(), record), (std::set<std::size_t>{28, 29}));
  EXPECT_EQ(record[28], 0xC0);
  EXPECT_EQ(record[29], 0);
}

}  // namespace
