#include "server/upload_records.h"

#include <algorithm>

#include "polling/append_format.h"
#include "polling/reading_decoders.h"
#include "ui/texts/server.h"

namespace server {

namespace {

// Where each reading lies in the stored reading record (record offset - 16), and what an
// incomplete field is replaced by: texts the decoders show as "not available".
struct ReadingField {
  std::size_t offset;
  std::size_t length;
  std::uint8_t missing;
};
constexpr ReadingField reading_fields[] = {{temperature_at, 4, 'F'}, {humidity_at, 4, 'F'}, {inputs_at, 2, 0xFF}};

// Characters of the MAC text that tell two modules apart.
constexpr std::size_t compared_mac_characters[] = {0, 1, 6, 7, 8, 9, 10, 11};

// The bytes from offset up to length or up to the first zero byte.
std::string text_until_zero(const Identity& identity, std::size_t offset, std::size_t length) {
  const auto begin = identity.begin() + static_cast<std::ptrdiff_t>(offset);
  const auto end = std::find(begin, begin + static_cast<std::ptrdiff_t>(length), std::uint8_t{0});
  return std::string(begin, end);
}

}  // namespace

std::string address_text(platform::Ipv4Address ip) {
  std::string text;
  polling::append_format(text, ui::texts::peer_address, ip.octet(0), ip.octet(1), ip.octet(2), ip.octet(3));
  return text;
}

std::string banner_line(bool tcp, platform::Ipv4Address ip, const std::string& external_text, std::uint16_t port) {
  std::string line = ui::texts::banner_head;
  line += tcp ? ui::texts::banner_tcp : ui::texts::banner_udp;
  line += ui::texts::banner_addresses;
  line += ip.dotted();
  line += "/" + external_text + ui::texts::banner_addresses_end;
  polling::append_format(line, ui::texts::banner_port, port);
  return line;
}

std::string waiting_line(ClockTime now) {
  std::string line;
  polling::append_format(line, ui::texts::waiting_line, now.hours, now.minutes, now.seconds);
  return line;
}

std::string tcp_data_head(int line_number, ClockTime now, int ordinal, int connection_count, PeerAddress peer) {
  std::string line;
  polling::append_format(line, ui::texts::log_tcp_data_head, line_number, now.hours, now.minutes, now.seconds,
                         ordinal, connection_count);
  line += address_text(peer.ip) + "/";
  polling::append_format(line, ui::texts::log_data_port, peer.port);
  return line;
}

std::string udp_data_head(int line_number, ClockTime now, int slot_number, int connection_count, PeerAddress peer) {
  std::string line;
  polling::append_format(line, ui::texts::log_udp_data_head, line_number, now.hours, now.minutes, now.seconds,
                         slot_number, connection_count);
  line += address_text(peer.ip) + "/";
  polling::append_format(line, ui::texts::log_data_port, peer.port);
  return line;
}

std::string summary_line(int row, ClockTime now, const Identity& identity, PeerAddress peer, std::uint32_t counter) {
  std::string line;
  polling::append_format(line, ui::texts::summary_head, row + 1, now.hours, now.minutes, now.seconds);
  line += text_until_zero(identity, 0, mac_text_bytes);
  line += ui::texts::summary_mid;
  line += text_until_zero(identity, mac_text_bytes, identity_bytes - mac_text_bytes);
  line += ui::texts::summary_ip;
  line += address_text(peer.ip);
  polling::append_format(line, ui::texts::summary_port, peer.port);
  polling::append_format(line, ui::texts::summary_count, counter);
  return line;
}

void decode_record(std::span<const std::uint8_t> received, Identity& identity, ReadingRecord& readings,
                   std::string& line) {
  const std::size_t stored = std::min(received.size(), record_bytes);
  identity.fill(0);
  std::copy_n(received.begin(), std::min(stored, identity_bytes), identity.begin());
  for (const ReadingField& field : reading_fields) {
    const std::size_t begin = identity_bytes + field.offset;
    auto target = readings.begin() + static_cast<std::ptrdiff_t>(field.offset);
    if (begin + field.length <= stored) {
      std::copy_n(received.begin() + static_cast<std::ptrdiff_t>(begin), field.length, target);
    } else {
      std::fill_n(target, field.length, field.missing);
    }
  }
  line += ui::texts::log_readings_gap;
  polling::temperature_decoder(readings, reading_fields[0].offset, line);
  polling::humidity_decoder(readings, reading_fields[1].offset, line);
  polling::digital_input_decoder(readings, reading_fields[2].offset, line);
}

bool same_module(const Identity& a, const Identity& b) {
  return std::all_of(std::begin(compared_mac_characters), std::end(compared_mac_characters),
                     [&](std::size_t i) { return a[i] == b[i]; });
}

int count_record(UploadSummary& summary, const Identity& identity) {
  const int rows = std::clamp(summary.row_count, 0, max_summary_rows);
  int row = 0;
  while (row < rows && !same_module(summary.rows[static_cast<std::size_t>(row)].identity, identity)) ++row;
  if (row == max_summary_rows) return no_summary_row;
  SummaryRow& entry = summary.rows[static_cast<std::size_t>(row)];
  if (row == rows) {
    entry.identity = identity;
    summary.row_count = rows + 1;
  }
  entry.counter = (entry.counter + 1) % counter_modulus;
  return row;
}

int update_summary(UploadSummary& summary, const Identity& identity, PeerAddress peer, ClockTime now,
                   ui::MainView& view) {
  const int rows_before = summary.row_count;
  const int row = count_record(summary, identity);
  if (row != no_summary_row) {
    const std::string line =
        summary_line(row, now, identity, peer, summary.rows[static_cast<std::size_t>(row)].counter);
    if (row < rows_before) {
      view.list_replace(ui::ListId::modules, row + 1, line);
    } else {
      view.list_add(ui::ListId::modules, line);
    }
  }
  view.repaint();
  return row;
}

std::optional<float> append_interval(IntervalTable& intervals, int index, std::uint32_t now_ms, std::string& line) {
  if (index < 0 || index >= max_summary_rows) return std::nullopt;
  std::uint32_t& previous = intervals.previous_ms[static_cast<std::size_t>(index)];
  // Unsigned difference: right across the 32-bit wrap of the tick count.
  const float seconds = static_cast<float>((now_ms - previous) / 1000.0);
  polling::append_format(line, ui::texts::log_interval, seconds);
  previous = now_ms;
  return seconds;
}

void write_banner(const std::string& banner, ClockTime now, std::uint32_t now_ms, IntervalTable& intervals,
                  ui::MainView& view) {
  view.list_clear(ui::ListId::modules);
  view.list_add(ui::ListId::modules, banner);
  intervals.previous_ms.fill(now_ms);
  view.list_clear(ui::ListId::data);
  view.list_add(ui::ListId::data, waiting_line(now));
}

}  // namespace server
