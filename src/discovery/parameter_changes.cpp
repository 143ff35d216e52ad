#include "discovery/parameter_changes.h"

#include <algorithm>


namespace discovery {
namespace {

bool active_upload(int work_mode) { return work_mode == audp || work_mode == atcp; }

int upload_changes(const netenv::PendingParameters& pending, const ModuleRow& row) {
  if (pending.server_port != row.server_port || pending.upload_interval != row.upload_interval)
    return changed_upload_port_or_interval;
  if (!pending.server_by_name) {
    if (row.server_by_name != 0) return changed_to_ip_mode;
    if (pending.server_ip != row.server_ip) return changed_server_ip;
    return 0;
  }
  if (row.server_by_name != netenv::server_by_name_marker) return changed_to_name_mode;
  if (pending.dns_ip != row.dns_ip) return changed_dns_ip;
  auto same_byte = [](std::uint8_t pending_byte, char row_byte) { return pending_byte == static_cast<std::uint8_t>(row_byte); };
  if (!std::equal(pending.server_name.begin(), pending.server_name.end(), row.server_name.begin(), same_byte))
    return changed_server_name;
  return 0;
}

}  // namespace

int parameters_unchanged(const netenv::PendingParameters& pending, const ModuleRow& row, bool wireless_changed,
                         bool remote_mode) {
  if (remote_mode) return pending.work_mode != row.work_mode ? changed_work_mode : 0;
  if (wireless_changed) return changed_wireless;
  if (pending.new_module_ip != row.ip || pending.new_gateway != row.gateway || pending.host_bits != row.host_bits)
    return changed_address;
  if (pending.port != netenv::network_write_port) return changed_port;
  if (pending.baud_index != netenv::network_write_baud_index) return changed_baud;
  if (pending.work_mode != row.work_mode) return changed_work_mode;
  if (active_upload(pending.work_mode) && pending.active_upload_confirmed) return upload_changes(pending, row);
  return 0;
}

}  // namespace discovery
