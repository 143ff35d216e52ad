#include "discovery/module_table.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "discovery/configuration_record.h"
#include "platform/byte_reader.h"

namespace discovery {

namespace {

constexpr std::array<int, 11> baud_table{38400, 19200, 9600, 4800, 2400, 1200, 600, 300, 115200, 57600, 230400};

// Work mode of the record's family and sub-mode bytes; nothing when the family byte is
// neither TCP nor UDP, and the row then keeps the mode it had.
std::optional<std::uint8_t> decode_work_mode(std::uint8_t family, std::uint8_t sub_mode) {
  bool named = false;
  if (family == record::tcp_family) {
    named = sub_mode == tcp || sub_mode == atcp;
  } else if (family == record::udp_family) {
    named = sub_mode == udp || sub_mode == snmp || sub_mode == audp;
  } else {
    return std::nullopt;
  }
  return named ? sub_mode : std::uint8_t{no_mode};
}

bool is_dynamic(platform::Ipv4Address record_ip) {
  return record_ip == record::dynamic_ip_zero || record_ip == record::dynamic_ip_marker;
}

}  // namespace

void reset_module_table(ModuleTable& table) { table = ModuleTable{}; }

bool decode_configuration_reply(ModuleTable& table, int row,
                                std::span<const std::uint8_t, configuration_reply_bytes> reply,
                                platform::Ipv4Address source_ip, int subnet_index) {
  if (row < 0 || row >= max_rows) return false;
  std::span<const std::uint8_t, record_size> d = reply.subspan<header_bytes, record_size>();
  ModuleRow& r = table.rows[row];
  platform::ByteReader read(d);
  r.subnet_index = static_cast<std::uint8_t>(subnet_index);
  r.reply_source = source_ip;
  r.ip = read.ipv4(record::ip);
  r.gateway = read.ipv4(record::gateway);
  r.port = read.le16(record::port);
  r.server_port = read.le16(record::server_port);
  r.server_ip = read.ipv4(record::server_ip);
  r.baud_code = d[record::baud_code];
  r.host_bits = d[record::host_bits];
  r.firmware_level = d[record::firmware_level];
  r.active_capable = r.firmware_level >= record::active_capable_level;
  r.snmp_capable = d[record::snmp_marker] == record::snmp_capable_marker;
  r.module_code = read.be16(record::module_code);
  r.upload_interval = d[record::upload_interval];
  r.server_by_name = d[record::server_by_name];
  r.dns_ip = read.ipv4(record::dns_ip);
  std::copy_n(d.begin() + record::server_name, record::server_name_bytes, r.server_name.begin());
  r.server_name[record::server_name_bytes] = '\0';
  if (const auto mode = decode_work_mode(d[record::mode_family], d[record::mode_sub])) {
    r.work_mode = *mode;
    if (*mode == audp || *mode == atcp) table.active_module_seen = true;
  }
  std::copy(d.begin(), d.end(), r.record.begin());
  return true;
}

void store_device_reply(ModuleTable& table, std::span<const std::uint8_t, device_reply_bytes> reply,
                        platform::Ipv4Address source_ip) {
  if (table.device_reply_count < 0 || table.device_reply_count >= max_rows) return;
  DeviceReply& stored = table.device_replies[table.device_reply_count++];
  stored.source_ip = source_ip;
  stored.device_type = {static_cast<char>(reply[device_type_at]), static_cast<char>(reply[device_type_at + 1])};
  std::copy_n(reply.begin() + device_mac_at, stored.mac.size(), stored.mac.begin());
}

void pair_device_replies(ModuleTable& table) {
  const int count = std::clamp(table.device_reply_count, 0, max_rows);
  for (int r = 0; r < count; ++r) {
    ModuleRow& row = table.rows[r];
    auto reply = std::find_if(table.device_replies.begin(), table.device_replies.begin() + count,
                              [&](const DeviceReply& d) { return d.source_ip == row.reply_source; });
    if (reply == table.device_replies.begin() + count) continue;
    row.raw_only = false;
    row.mac = reply->mac;
    row.device_type = reply->device_type;
    row.wireless = reply->device_type[0] == 'W' && reply->device_type[1] == '8';
    row.dynamic_ip = is_dynamic(platform::ByteReader(row.record).ipv4(record::ip));
    if (row.dynamic_ip) row.ip = row.reply_source;
  }
}

const netenv::AddressEntry* subnet_entry(const ModuleRow& row, const netenv::AdapterTable& adapters) {
  const int count = std::min(adapters.address_count, netenv::max_address_entries);
  return row.subnet_index < count ? &adapters.addresses[row.subnet_index] : nullptr;
}

bool row_inside_subnet(const ModuleRow& row, const netenv::AdapterTable& adapters) {
  const netenv::AddressEntry* entry = subnet_entry(row, adapters);
  if (entry == nullptr) return false;
  return platform::same_subnet(row.ip, entry->ip, entry->mask);
}

void order_rows(ModuleTable& table, const netenv::AdapterTable& adapters) {
  const int found = std::clamp(table.found_count, 0, max_rows);
  std::array<int, max_rows> inside{}, outside{};
  int inside_count = 0, outside_count = 0;
  for (int r = 0; r < found; ++r) {
    if (row_inside_subnet(table.rows[r], adapters)) {
      inside[inside_count++] = r;
    } else {
      outside[outside_count++] = r;
    }
  }
  auto ip_of = [&](int r) { return table.rows[r].ip; };
  // Swapping only on a greater address keeps equal addresses in arrival order.
  for (int pass = 1; pass < inside_count; ++pass) {
    for (int i = 0; i + pass < inside_count; ++i) {
      if (ip_of(inside[i]) > ip_of(inside[i + 1])) std::swap(inside[i], inside[i + 1]);
    }
  }
  std::copy_n(inside.begin(), inside_count, table.display_order.begin());
  int kept = 0;
  for (int i = 0; i < outside_count; ++i) {
    const platform::Ipv4Address ip = ip_of(outside[i]);
    auto same_ip = [&](int r) { return ip_of(r) == ip; };
    if (std::any_of(outside.begin() + i + 1, outside.begin() + outside_count, same_ip)) continue;
    if (std::any_of(inside.begin(), inside.begin() + inside_count, same_ip)) continue;
    table.display_order[inside_count + kept++] = outside[i];
  }
  table.inside_count = inside_count;
  table.outside_count = kept;
  table.shown_count = inside_count + kept;
}

void classify_rows(ModuleTable& table, const netenv::AdapterTable& adapters, std::uint16_t expected_port) {
  const int shown = std::clamp(table.shown_count, 0, max_rows);
  for (int a = 0; a < shown; ++a) {
    const int r = table.display_order[a];
    if (r < 0 || r >= max_rows) continue;
    ModuleRow& row = table.rows[r];
    const int rate = baud_rate(row.baud_code);
    row.outside_subnet = !row_inside_subnet(row, adapters);
    row.sensor_module =
        !row.outside_subnet && !row.raw_only && row.port == expected_port && (rate == 57600 || rate == 38400);
  }
}

int baud_rate(int baud_code) {
  return baud_code >= 0 && baud_code < static_cast<int>(baud_table.size()) ? baud_table[baud_code] : 0;
}

}  // namespace discovery
