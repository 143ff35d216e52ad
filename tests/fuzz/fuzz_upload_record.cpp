// Upload records from the network, any length. The whole input is decoded as one record;
// then it is cut into records (a length byte, then up to 63 bytes) that arrive on slots in
// turn and are counted in the summary, as the server does. Decoding writes only the ten
// reading characters, and the summary never holds more than its 100 rows.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "server/upload_records.h"

namespace {

void decode_into(std::span<const std::uint8_t> record, server::Identity& identity, server::ReadingRecord& readings) {
  std::string line;
  server::decode_record(record, identity, readings, line);
  if (std::any_of(readings.begin() + 10, readings.end(), [](std::uint8_t b) { return b != 0; })) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<server::Identity, server::max_slots> identities{};
  std::array<server::ReadingRecord, server::max_slots> readings{};
  decode_into(std::span(data, size), identities[0], readings[0]);

  server::UploadSummary summary;
  server::IntervalTable intervals;
  std::size_t offset = 0;
  for (std::size_t n = 0; offset < size; ++n) {
    const std::size_t length = std::min<std::size_t>(data[offset] % 64, size - offset - 1);
    const std::size_t slot = n % server::max_slots;
    decode_into(std::span(data + offset + 1, length), identities[slot], readings[slot]);
    offset += 1 + length;
    const int row = server::count_record(summary, identities[slot]);
    if (summary.row_count > server::max_summary_rows) std::abort();
    if (row == server::no_summary_row) continue;
    const server::SummaryRow& counted = summary.rows[static_cast<std::size_t>(row)];
    if (!server::same_module(counted.identity, identities[slot]) || counted.counter >= server::counter_modulus) {
      std::abort();
    }
    server::summary_line(row, {}, identities[slot], {}, counted.counter);
    std::string interval;
    server::append_interval(intervals, row, static_cast<std::uint32_t>(n), interval);
  }
  return 0;
}
