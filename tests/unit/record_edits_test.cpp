#include "config/record_edits.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

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

// distinct_record() with `bytes` written from each offset on.
Record with(std::initializer_list<std::pair<std::size_t, std::vector<std::uint8_t>>> writes) {
  Record r = distinct_record();
  for (const auto& [at, bytes] : writes) std::copy(bytes.begin(), bytes.end(), r.begin() + static_cast<long>(at));
  return r;
}

TEST(RecordEdits, NetworkSectionAndWorkModeChangeExactlyTheirBytes) {
  Record record = distinct_record();
  config::apply_pending_parameters(record, pending_for(1), true);
  EXPECT_EQ(record, with({{0, {10, 1, 2, 3}}, {6, {8}}, {12, {10, 1, 2, 254}}, {17, {0}}, {20, {0x42, 0x27}}, {28, {0xCC, 1}}}));
  // TCP without the network section: only the two mode bytes.
  record = distinct_record();
  config::apply_pending_parameters(record, pending_for(0), false);
  EXPECT_EQ(record, with({{28, {0xC0, 0}}}));
  // Work modes outside the table leave the record alone.
  for (int mode : {-1, 5, 0xFF}) {
    record = distinct_record();
    config::apply_pending_parameters(record, pending_for(mode), false);
    EXPECT_EQ(record, distinct_record()) << mode;
  }
}

TEST(RecordEdits, ActiveUploadModesWriteTheUploadSectionBesideTheMode) {
  Record record = distinct_record();
  config::apply_pending_parameters(record, pending_for(4), false);
  std::vector<std::uint8_t> name(44, 0);  // the DNS address, then the NUL-padded name
  const std::uint8_t dns_and_name[] = {198, 51, 100, 53, 'u', 'p', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e'};
  std::copy(std::begin(dns_and_name), std::end(dns_and_name), name.begin());
  EXPECT_EQ(record, with({{22, {0x45, 0x1F, 192, 0, 2, 9, 0xC0, 4}}, {36, {0xAB, 0xCD, 0x11, 0x10}}, {66, name}}));

  // AUDP sits in the UDP family; IP mode writes 0 into byte 39.
  netenv::PendingParameters by_ip = pending_for(3);
  by_ip.server_by_name = false;
  config::apply_pending_parameters(record, by_ip, false);
  EXPECT_EQ(record[28], 0xCC);
  EXPECT_EQ(record[29], 3);
  EXPECT_EQ(record[39], 0);
}

}  // namespace
