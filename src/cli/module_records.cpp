#include "cli/module_records.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <vector>

#include "cli/record_text.h"
#include "netenv/address_checks.h"
#include "polling/snmp_replies.h"

namespace cli {

namespace {

std::string mac_text(const std::array<std::uint8_t, 6>& mac) {
  char text[20];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

const char* work_mode_name(std::uint8_t mode) {
  switch (mode) {
    case discovery::tcp: return "TCP";
    case discovery::udp: return "UDP";
    case discovery::snmp: return "SNMP";
    case discovery::audp: return "AUDP";
    case discovery::atcp: return "ATCP";
    default: return "none";
  }
}

std::string csv_row(const std::vector<std::string>& fields) {
  std::string row;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ',';
    row += csv_field(fields[i]);
  }
  return row;
}

// Members already encoded as JSON values.
std::string json_object(const std::vector<std::pair<const char*, std::string>>& members) {
  std::string object = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i > 0) object += ',';
    object += json_string(members[i].first) + ':' + members[i].second;
  }
  return object + '}';
}

const char* json_bool(bool value) { return value ? "true" : "false"; }

std::string json_or_null(const std::string& text) { return text.empty() ? "null" : json_string(text); }

// The bytes up to length or up to the first zero byte.
std::string text_until_zero(const server::Identity& identity, std::size_t offset, std::size_t length) {
  const auto begin = identity.begin() + static_cast<std::ptrdiff_t>(offset);
  return std::string(begin, std::find(begin, begin + static_cast<std::ptrdiff_t>(length), std::uint8_t{0}));
}

}  // namespace

ModuleFields module_fields(const discovery::ModuleTable& modules, const netenv::AdapterTable& adapters, int position) {
  ModuleFields fields;
  const int r = polling::row_at_position(modules, position);
  if (r < 0) return fields;
  const discovery::ModuleRow& row = modules.rows[static_cast<std::size_t>(r)];
  fields.number = position + 1;
  fields.ip = row.ip.dotted();
  if (const netenv::AddressEntry* entry = discovery::subnet_entry(row, adapters)) {
    fields.adapter = entry->adapter + 1;
    fields.adapter_address = entry->ip.dotted();
  }
  fields.mac = mac_text(row.mac);
  fields.work_mode = row.raw_only ? "none" : work_mode_name(row.work_mode);
  if (!row.raw_only) {
    fields.port = row.port;
    fields.mask = netenv::mask_from_host_bits(row.host_bits).dotted();
  }
  fields.gateway = row.gateway.dotted();
  fields.wireless = row.wireless;
  fields.raw_only = row.raw_only;
  fields.sensor_module = row.sensor_module;
  return fields;
}

std::string module_csv_header() {
  return "number,ip,adapter,adapter_address,mac,work_mode,port,gateway,mask,wireless,raw_only,sensor_module";
}

std::string module_csv(const ModuleFields& m) {
  return csv_row({std::to_string(m.number), m.ip, std::to_string(m.adapter), m.adapter_address, m.mac, m.work_mode,
                  m.port ? std::to_string(*m.port) : "", m.gateway, m.mask.value_or(""), m.wireless ? "1" : "0",
                  m.raw_only ? "1" : "0", m.sensor_module ? "1" : "0"});
}

std::string module_json(const ModuleFields& m) {
  return json_object({{"number", std::to_string(m.number)},
                      {"ip", json_string(m.ip)},
                      {"adapter", std::to_string(m.adapter)},
                      {"adapter_address", json_string(m.adapter_address)},
                      {"mac", json_string(m.mac)},
                      {"work_mode", json_string(m.work_mode)},
                      {"port", m.port ? std::to_string(*m.port) : "null"},
                      {"gateway", json_string(m.gateway)},
                      {"mask", m.mask ? json_string(*m.mask) : "null"},
                      {"wireless", json_bool(m.wireless)},
                      {"raw_only", json_bool(m.raw_only)},
                      {"sensor_module", json_bool(m.sensor_module)}});
}

PollFields poll_fields(const discovery::ModuleTable& modules, const polling::PollingTable& polling, int position,
                       bool first, const std::string& timestamp) {
  PollFields fields;
  fields.timestamp = timestamp;
  fields.reading = polling::module_reading(modules, polling, position, first);
  const int r = polling::row_at_position(modules, position);
  if (r < 0) return fields;
  const discovery::ModuleRow& row = modules.rows[static_cast<std::size_t>(r)];
  fields.ip = row.ip.dotted();
  fields.mac = mac_text(row.mac);
  const polling::ReadingStatus status = fields.reading.status;
  if (status != polling::ReadingStatus::ok && status != polling::ReadingStatus::check_error) return fields;
  const auto& record = polling.rows[static_cast<std::size_t>(r)].record;
  std::size_t stored;
  if (row.work_mode == discovery::snmp) {
    fields.name.assign(record.begin() + 1, record.begin() + 1 + std::min<std::size_t>(record[0], polling::snmp_name_max_bytes));
    stored = std::min<std::size_t>(record[0] + 1u + polling::snmp_values_bytes, polling::record_length_index);
  } else {
    stored = std::min<std::size_t>(record[polling::record_length_index], polling::record_length_index);
  }
  fields.raw_hex = hex_text(std::span(record).first(stored));
  return fields;
}

const char* status_text(polling::ReadingStatus status) {
  using polling::ReadingStatus;
  switch (status) {
    case ReadingStatus::not_listed: return "not listed";
    case ReadingStatus::outside_subnet: return "not in subnet";
    case ReadingStatus::raw_only: return "parameters unknown";
    case ReadingStatus::not_sensor: return "not a sensor module";
    case ReadingStatus::mode_error: return "work mode error";
    case ReadingStatus::active_upload: return "active upload";
    case ReadingStatus::no_connection: return "no connection";
    case ReadingStatus::no_response: return "no response";
    case ReadingStatus::no_data: return "no data";
    case ReadingStatus::check_error: return "check error";
    case ReadingStatus::ok: return "ok";
  }
  return "unknown";
}

std::string poll_csv_header() { return "timestamp,ip,mac,name,temperature_c,humidity_rh,inputs,status,raw"; }

std::string poll_csv(const PollFields& f) {
  return csv_row({f.timestamp, f.ip, f.mac, f.name, csv_number(f.reading.temperature_c, 3),
                  csv_number(f.reading.humidity_percent, 1), input_bits(f.reading.inputs),
                  status_text(f.reading.status), f.raw_hex});
}

std::string poll_json(const PollFields& f) {
  return json_object({{"timestamp", json_string(f.timestamp)},
                      {"ip", json_string(f.ip)},
                      {"mac", json_string(f.mac)},
                      {"name", json_or_null(f.name)},
                      {"temperature_c", json_number(f.reading.temperature_c, 3)},
                      {"humidity_rh", json_number(f.reading.humidity_percent, 1)},
                      {"inputs", json_or_null(input_bits(f.reading.inputs))},
                      {"status", json_string(status_text(f.reading.status))},
                      {"raw", json_or_null(f.raw_hex)}});
}

std::string upload_csv_header() {
  return "time,peer,peer_port,mac,module_code,temperature_c,humidity_rh,inputs,interval_s";
}

std::string upload_csv(const std::string& timestamp, const server::UploadEvent& e) {
  return csv_row({timestamp, e.peer.ip.dotted(), std::to_string(e.peer.port),
                  text_until_zero(e.identity, 0, server::mac_text_bytes),
                  text_until_zero(e.identity, server::mac_text_bytes, server::identity_bytes - server::mac_text_bytes),
                  csv_number(e.temperature_c, 3), csv_number(e.humidity_percent, 1), input_bits(e.inputs),
                  csv_number(e.interval_s, 1)});
}

std::string upload_json(const std::string& timestamp, const server::UploadEvent& e) {
  return json_object(
      {{"time", json_string(timestamp)},
       {"peer", json_string(e.peer.ip.dotted())},
       {"peer_port", std::to_string(e.peer.port)},
       {"mac", json_string(text_until_zero(e.identity, 0, server::mac_text_bytes))},
       {"module_code",
        json_string(text_until_zero(e.identity, server::mac_text_bytes, server::identity_bytes - server::mac_text_bytes))},
       {"temperature_c", json_number(e.temperature_c, 3)},
       {"humidity_rh", json_number(e.humidity_percent, 1)},
       {"inputs", json_or_null(input_bits(e.inputs))},
       {"interval_s", json_number(e.interval_s, 1)}});
}

}  // namespace cli
