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

std::string snmp_line(const std::array<std::uint8_t, reading_record_bytes>& record, int number) {
  const int name_length = record[0];
  if (name_length == 0) return numbered(ui::texts::line_no_data, number);
  // The values follow the whole stored name; with no room left for them they are missing.
  std::array<std::uint8_t, snmp_values_bytes> values;
  values.fill(value_not_available);
  const std::size_t values_at = static_cast<std::size_t>(name_length) + 1;
  if (values_at + snmp_values_bytes <= record.size()) std::copy_n(record.begin() + values_at, snmp_values_bytes, values.begin());
  std::string line = numbered(ui::texts::line_snmp_head, number);
  line.append(record.begin() + 1, record.begin() + 1 + std::min(name_length, snmp_name_shown_bytes));
  line += ui::texts::line_snmp_name_end;

  const std::uint8_t temperature = values[0], humidity = values[1], tenths = values[2], inputs = values[3];
  if (temperature == value_not_available) {
    line += ui::texts::snmp_temperature_missing;
  } else {
    const int degrees = (temperature & 0x80) ? -(temperature & 0x7F) : (temperature & 0x7F);
    append_format(line, ui::texts::snmp_temperature_field, degrees, tenths >> 4);
  }
  if (humidity == value_not_available) {
    append_format(line, ui::texts::snmp_humidity_missing);
  } else {
    append_format(line, ui::texts::humidity_field, humidity + (tenths & 0x0F) * 0.1);
  }
  if (inputs == value_not_available) {
    line += ui::texts::snmp_inputs_missing;
  } else {
    const InputGroups groups = input_groups(inputs);
    append_format(line, ui::texts::snmp_inputs_field, groups.di5_di4, groups.di3_di0);
  }
  return line;
}

std::string text_line(const PollingRow& row, int number, bool first) {
  const std::span<const std::uint8_t> record(row.record);
  const std::size_t stored = record[record_length_index];
  if (stored > record_length_index || !text_reply_valid(record.first(stored))) {
    return numbered(ui::texts::line_check_error, number);
  }
  std::string line;
  append_format(line, ui::texts::line_text_head, number, hex_pair(record[firmware_offset], record[firmware_offset + 1]));
  temperature_decoder(record, temperature_offset, line);
  humidity_decoder(record, humidity_offset, line);
  if (row.extended && !first) digital_input_decoder(record, inputs_offset, line);
  return line;
}

}  // namespace

std::string reading_line(const discovery::ModuleTable& modules, const PollingTable& polling, int position, bool first) {
  const int r = row_at_position(modules, position);
  if (r < 0) return {};
  const discovery::ModuleRow& module = modules.rows[static_cast<std::size_t>(r)];
  const PollingRow& row = polling.rows[static_cast<std::size_t>(r)];
  const int number = position + 1;

  if (!module.sensor_module) {
    if (module.outside_subnet) return numbered(ui::texts::line_outside_subnet, number);
    if (module.raw_only) return numbered(ui::texts::line_raw_only, number);
    return numbered(ui::texts::line_not_sensor, number);
  }
  if (row.connected != ready) {
    if (module.work_mode == discovery::no_mode) return numbered(ui::texts::line_mode_error, number);
    if (module.work_mode == discovery::audp || module.work_mode == discovery::atcp) {
      return numbered(ui::texts::line_active_upload, number);
    }
    return numbered(ui::texts::line_no_connection, number);
  }
  if (row.status < 0) return numbered(ui::texts::line_no_response, number);
  if (module.work_mode == discovery::snmp) return snmp_line(row.record, number);
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
