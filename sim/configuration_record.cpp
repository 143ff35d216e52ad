#include "configuration_record.h"

#include <algorithm>

namespace sim {
namespace {

void put_ipv4(ConfigurationRecord& r, std::size_t offset, const Ipv4& ip) {
  std::copy(ip.begin(), ip.end(), r.begin() + static_cast<std::ptrdiff_t>(offset));
}

void put_u16_le(ConfigurationRecord& r, std::size_t offset, std::uint16_t v) {
  r[offset] = static_cast<std::uint8_t>(v & 0xFF);
  r[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put_u16_be(ConfigurationRecord& r, std::size_t offset, std::uint16_t v) {
  r[offset] = static_cast<std::uint8_t>(v >> 8);
  r[offset + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

Ipv4 get_ipv4(const ConfigurationRecord& r, std::size_t offset) { return {r[offset], r[offset + 1], r[offset + 2], r[offset + 3]}; }

}  // namespace

ConfigurationRecord encode_configuration_record(const ModuleConfig& c) {
  ConfigurationRecord r{};
  put_ipv4(r, 0, c.ip);
  r[6] = c.host_bits;
  put_ipv4(r, 12, c.gateway);
  r[17] = c.baud_code;
  put_u16_le(r, 20, c.port);
  put_u16_le(r, 22, c.server_port);
  put_ipv4(r, 24, c.server_ip);
  r[28] = c.mode_bytes[0];
  r[29] = c.mode_bytes[1];
  r[32] = c.firmware_level;
  r[33] = c.snmp_byte;
  put_u16_be(r, 36, c.module_code);
  r[38] = c.upload_interval;
  r[39] = c.server_by_name;
  put_ipv4(r, 66, c.dns_ip);
  for (std::size_t i = 0; i < c.server_name.size() && i < 40; ++i) {
    r[70 + i] = static_cast<std::uint8_t>(c.server_name[i]);
  }
  for (const RecordPatch& p : c.record_patches) {
    std::copy(p.bytes.begin(), p.bytes.end(), r.begin() + static_cast<std::ptrdiff_t>(p.offset));
  }
  return r;
}

void decode_configuration_record(const ConfigurationRecord& r, ModuleConfig& c) {
  c.ip = get_ipv4(r, 0);
  c.host_bits = r[6];
  c.gateway = get_ipv4(r, 12);
  c.baud_code = r[17];
  c.port = static_cast<std::uint16_t>(r[20] | (r[21] << 8));
  c.server_port = static_cast<std::uint16_t>(r[22] | (r[23] << 8));
  c.server_ip = get_ipv4(r, 24);
  c.mode_bytes = {r[28], r[29]};
  c.firmware_level = r[32];
  c.snmp_byte = r[33];
  c.module_code = static_cast<std::uint16_t>((r[36] << 8) | r[37]);
  c.upload_interval = r[38];
  c.server_by_name = r[39];
  c.dns_ip = get_ipv4(r, 66);
  c.server_name.clear();
  for (std::size_t i = 70; i < 110 && r[i] != 0; ++i) c.server_name += static_cast<char>(r[i]);
}

}  // namespace sim
