#include "config/record_edits.h"

#include <algorithm>

#include "discovery/configuration_record.h"

namespace config {
namespace {

namespace rec = discovery::record;

void put_ip(std::span<std::uint8_t, discovery::record_size> record, std::size_t at, platform::Ipv4Address ip) {
  for (int i = 0; i < 4; ++i) record[at + static_cast<std::size_t>(i)] = ip.octet(i);
}

void put_le16(std::span<std::uint8_t, discovery::record_size> record, std::size_t at, std::uint16_t value) {
  record[at] = static_cast<std::uint8_t>(value & 0xFF);
  record[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

void apply_pending_parameters(std::span<std::uint8_t, discovery::record_size> record,
                              const netenv::PendingParameters& pending, bool with_network) {
  if (with_network) {
    put_ip(record, rec::ip, pending.new_module_ip);
    record[rec::host_bits] = pending.host_bits;
    put_ip(record, rec::gateway, pending.new_gateway);
    record[rec::baud_code] = netenv::network_write_baud_index;
    put_le16(record, rec::port, netenv::network_write_port);
  }
  const int mode = pending.work_mode;
  if (mode < discovery::tcp || mode > discovery::atcp) return;
  const bool tcp_family = mode == discovery::tcp || mode == discovery::atcp;
  record[rec::mode_family] = tcp_family ? rec::tcp_family : rec::udp_family;
  record[rec::mode_sub] = static_cast<std::uint8_t>(mode);
  if (mode != discovery::audp && mode != discovery::atcp) return;
  put_le16(record, rec::server_port, pending.server_port);
  put_ip(record, rec::server_ip, pending.server_ip);
  record[rec::module_code] = static_cast<std::uint8_t>(pending.module_code >> 8);
  record[rec::module_code + 1] = static_cast<std::uint8_t>(pending.module_code & 0xFF);
  record[rec::upload_interval] = pending.upload_interval;
  record[rec::server_by_name] = pending.server_by_name ? netenv::server_by_name_marker : 0;
  put_ip(record, rec::dns_ip, pending.dns_ip);
  std::copy(pending.server_name.begin(), pending.server_name.end(), record.begin() + rec::server_name);
}

}  // namespace config
