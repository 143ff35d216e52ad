#include "polling/reading_lines.h"

#include <algorithm>
#include <span>

#include "polling/append_format.h"
#include "polling/query_frames.h"
#include "polling/reading_decoders.h"
#include "polling/snmp_replies.h"
#include "ui/texts/polling.h"

namespace polling {

namespace {

constexpr int snmp_name_shown_bytes = 15;

// A line begun with the format's text of the line number.
__attribute__((format(printf, 1, 2))) std::string numbered(const char* format, ...) {
  std::string line;
  va_list arguments;
  va_start(arguments, format);
  append_vformat(line, format, arguments);
  va_end(arguments);
  return line;
}

// The value bytes V0-V3 behind the whole stored name; with no room left for them they are
// not available.
std::array<std::uint8_t, snmp_values_bytes> snmp_values(const std::array<std::uint8_t, reading_record_bytes>& record) {
  std::array<std::uint8_t, snmp_values_bytes> values;
  values.fill(value_not_available);
  const std::size_t values_at = static_cast<std::size_t>(record[0]) + 1;
  if (values_at + snmp_values_bytes <= record.size()) std::copy_n(record.begin() + values_at, snmp_values_bytes, values.begin());
  return values;
}

// Whole degrees with the sign of bit 7, and the tenths digit of V2.
int snmp_degrees(std::uint8_t temperature) { return (temperature & 0x80) ? -(temperature & 0x7F) : (temperature & 0x7F); }
int snmp_temperature_tenths(std::uint8_t tenths) { return tenths >> 4; }
double snmp_humidity(std::uint8_t humidity, std::uint8_t tenths) { return humidity + (tenths & 0x0F) * 0.1; }

void add_snmp_values(const std::array<std::uint8_t, reading_record_bytes>& record, ModuleReading& reading) {
  const auto [temperature, humidity, tenths, inputs] = snmp_values(record);
  if (temperature != value_not_available) {
    const int degrees = snmp_degrees(temperature);
    const double fraction = snmp_temperature_tenths(tenths) / 10.0;
    reading.temperature_c = (temperature & 0x80) ? degrees - fraction : degrees + fraction;
  }
  if (humidity != value_not_available) reading.humidity_percent = snmp_humidity(humidity, tenths);
  if (inputs != value_not_available) reading.inputs = inputs;
}

std::string snmp_line(const std::array<std::uint8_t, reading_record_bytes>& record, int number) {
  const int name_length = record[0];
  std::string line = numbered(ui::texts::line_snmp_head, number);
  line.append(record.begin() + 1, record.begin() + 1 + std::min(name_length, snmp_name_shown_bytes));
  line += ui::texts::line_snmp_name_end;

  const auto [temperature, humidity, tenths, inputs] = snmp_values(record);
  if (temperature == value_not_available) {
    line += ui::texts::snmp_temperature_missing;
  } else {
    append_format(line, ui::texts::snmp_temperature_field, snmp_degrees(temperature), snmp_temperature_tenths(tenths));
  }
  if (humidity == value_not_available) {
    append_format(line, ui::texts::snmp_humidity_missing);
  } else {
    append_format(line, ui::texts::humidity_field, snmp_humidity(humidity, tenths));
  }
  if (inputs == value_not_available) {
    line += ui::texts::snmp_inputs_missing;
  } else {
    const InputGroups groups = input_groups(inputs);
    append_format(line, ui::texts::snmp_inputs_field, groups.di5_di4, groups.di3_di0);
  }
  return line;
}

bool text_record_valid(const PollingRow& row) {
  const std::span<const std::uint8_t> record(row.record);
  const std::size_t stored = record[record_length_index];
  return stored <= record_length_index && text_reply_valid(record.first(stored));
}

std::string text_line(const PollingRow& row, int number, bool first) {
  const std::span<const std::uint8_t> record(row.record);
  std::string line;
  append_format(line, ui::texts::line_text_head, number, hex_pair(record[firmware_offset], record[firmware_offset + 1]));
  temperature_decoder(record, temperature_offset, line);
  humidity_decoder(record, humidity_offset, line);
  if (row.extended && !first) digital_input_decoder(record, inputs_offset, line);
  return line;
}

ReadingStatus reading_status(const discovery::ModuleRow& module, const PollingRow& row) {
  if (!module.sensor_module) {
    if (module.outside_subnet) return ReadingStatus::outside_subnet;
    if (module.raw_only) return ReadingStatus::raw_only;
    return ReadingStatus::not_sensor;
  }
  if (row.connected != ready) {
    if (module.work_mode == discovery::no_mode) return ReadingStatus::mode_error;
    if (module.work_mode == discovery::audp || module.work_mode == discovery::atcp) return ReadingStatus::active_upload;
    return ReadingStatus::no_connection;
  }
  if (row.status < 0) return ReadingStatus::no_response;
  if (module.work_mode == discovery::snmp) return row.record[0] == 0 ? ReadingStatus::no_data : ReadingStatus::ok;
  return text_record_valid(row) ? ReadingStatus::ok : ReadingStatus::check_error;
}

}  // namespace

ModuleReading module_reading(const discovery::ModuleTable& modules, const PollingTable& polling, int position,
                             bool first) {
  ModuleReading reading;
  const int r = row_at_position(modules, position);
  if (r < 0) return reading;
  const discovery::ModuleRow& module = modules.rows[static_cast<std::size_t>(r)];
  const PollingRow& row = polling.rows[static_cast<std::size_t>(r)];
  reading.status = reading_status(module, row);
  if (reading.status != ReadingStatus::ok) return reading;
  if (module.work_mode == discovery::snmp) {
    add_snmp_values(row.record, reading);
  } else {
    reading.temperature_c = temperature_celsius(row.record, temperature_offset);
    reading.humidity_percent = humidity_percent(row.record, humidity_offset);
    if (row.extended && !first) reading.inputs = digital_inputs(row.record, inputs_offset);
  }
  return reading;
}

std::string reading_line(const discovery::ModuleTable& modules, const PollingTable& polling, int position, bool first) {
  const int r = row_at_position(modules, position);
  if (r < 0) return {};
  const PollingRow& row = polling.rows[static_cast<std::size_t>(r)];
  const int number = position + 1;
  switch (reading_status(modules.rows[static_cast<std::size_t>(r)], row)) {
    case ReadingStatus::not_listed: return {};
    case ReadingStatus::outside_subnet: return numbered(ui::texts::line_outside_subnet, number);
    case ReadingStatus::raw_only: return numbered(ui::texts::line_raw_only, number);
    case ReadingStatus::not_sensor: return numbered(ui::texts::line_not_sensor, number);
    case ReadingStatus::mode_error: return numbered(ui::texts::line_mode_error, number);
    case ReadingStatus::active_upload: return numbered(ui::texts::line_active_upload, number);
    case ReadingStatus::no_connection: return numbered(ui::texts::line_no_connection, number);
    case ReadingStatus::no_response: return numbered(ui::texts::line_no_response, number);
    case ReadingStatus::no_data: return numbered(ui::texts::line_no_data, number);
    case ReadingStatus::check_error: return numbered(ui::texts::line_check_error, number);
    case ReadingStatus::ok: break;
  }
  if (modules.rows[static_cast<std::size_t>(r)].work_mode == discovery::snmp) return snmp_line(row.record, number);
  return text_line(row, number, first);
}

int show_readings(bool first, const discovery::ModuleTable& modules, const PollingTable& polling, ui::MainView& view) {
  const int top = view.list_top_index(ui::ListId::data);
  view.list_set_top_index(ui::ListId::modules, top);
  view.list_set_top_index(ui::ListId::data, top);
  for (int p = 0; p < position_count(modules); ++p) {
    view.list_replace(ui::ListId::data, p, reading_line(modules, polling, p, first));
  }
  view.list_set_top_index(ui::ListId::modules, top);
  view.list_set_top_index(ui::ListId::data, top);
  return 0;
}

}  // namespace polling
