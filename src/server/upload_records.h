#pragma once
// Upload records and the upload summary: the text record a module pushes, the lines the
// server shows for it, the summary of distinct modules with their reception counters, and
// the time between a module's records.
//
//   record  0  MAC address as text (12)   12  module identifier (4)
//          16  temperature (4 hex)        20  humidity (4 hex)      24  inputs (2 hex)
//   Nothing after byte 25 is read; there is no length, character or checksum test.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/ipv4_address.h"
#include "polling/polling_table.h"
#include "ui/main_view.h"

namespace server {

constexpr int max_slots = 32;
constexpr int max_summary_rows = 100;
constexpr std::size_t record_bytes = 26;
constexpr std::size_t mac_text_bytes = 12;
constexpr std::size_t identity_bytes = 16;  // MAC text and module identifier
constexpr std::uint32_t counter_modulus = 10000;  // four digits: 9999 is followed by 0000
constexpr int no_summary_row = -1;
// Where the readings lie in a slot's reading record (record offset - 16).
constexpr std::size_t temperature_at = 0;
constexpr std::size_t humidity_at = 4;
constexpr std::size_t inputs_at = 8;

struct ClockTime {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};

struct PeerAddress {
  platform::Ipv4Address ip;
  std::uint16_t port = 0;  // host order
  bool operator==(const PeerAddress&) const = default;
};

using Identity = std::array<std::uint8_t, identity_bytes>;
using ReadingRecord = std::array<std::uint8_t, polling::reading_record_bytes>;

// "%3d.%3d.%3d.%3d" over the address's octets.
std::string address_text(platform::Ipv4Address ip);

// First line of the module list: protocol, bound address with its external address, port.
std::string banner_line(bool tcp, platform::Ipv4Address ip, const std::string& external_text, std::uint16_t port);
// First line of the data list, before any record arrives.
std::string waiting_line(ClockTime now);
// Heads of the data lines; ordinal (TCP) or slot + 1 (UDP), then the slots in use.
std::string tcp_data_head(int line_number, ClockTime now, int ordinal, int connection_count, PeerAddress peer);
std::string udp_data_head(int line_number, ClockTime now, int slot_number, int connection_count, PeerAddress peer);
// Summary row `row` (0-based) for a record of `identity` from peer; MAC text and
// identifier end early at a zero byte.
std::string summary_line(int row, ClockTime now, const Identity& identity, PeerAddress peer, std::uint32_t counter);

// Stores the received record as the slot's identity and the first ten characters of its
// reading record, then appends five blanks and the three readings to line. Only received
// bytes are used: identity bytes beyond them are zero and an incomplete reading field
// shows as its not-available text.
void decode_record(std::span<const std::uint8_t> received, Identity& identity, ReadingRecord& readings,
                   std::string& line);

struct SummaryRow {
  Identity identity{};  // of the module's first record
  std::uint32_t counter = 0;
};

struct UploadSummary {
  std::array<SummaryRow, max_summary_rows> rows{};
  int row_count = 0;
};

// One module when the MAC texts agree at characters 0, 1 and 6..11; characters 2..5 and
// the identifier are not compared.
bool same_module(const Identity& a, const Identity& b);

// Counts a record in its module's row, adding the row on first appearance. Returns the
// row, or no_summary_row for a new module once all rows are taken: such a module is
// counted nowhere and its records appear only in the log.
int count_record(UploadSummary& summary, const Identity& identity);

// count_record, then writes the row's line as line row + 1 of the module list (line 0 is
// the banner) and repaints. Returns the row or no_summary_row.
int update_summary(UploadSummary& summary, const Identity& identity, PeerAddress peer, ClockTime now,
                   ui::MainView& view);

// Time of each index's previous record: by slot for UDP, by summary row for TCP, so it
// has an entry for every summary row.
struct IntervalTable {
  std::array<std::uint32_t, max_summary_rows> previous_ms{};
};

// Appends "-- %5.1f", the seconds since index's previous record, and remembers now_ms;
// appends nothing for an index outside the table (a module without a summary row).
// Returns the seconds appended.
std::optional<float> append_interval(IntervalTable& intervals, int index, std::uint32_t now_ms, std::string& line);

// Opens a server run: the banner as the only module-list line, every interval counting
// from now, and the waiting line as the only data-list line.
void write_banner(const std::string& banner, ClockTime now, std::uint32_t now_ms, IntervalTable& intervals,
                  ui::MainView& view);

}  // namespace server
