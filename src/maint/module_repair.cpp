#include "maint/module_repair.h"

#include <algorithm>

#include "maint/repair_addresses.h"

namespace maint {

int assign_by_mac(netenv::AdapterTable& adapters, RepairLink& link, int entry, MacTail tail, RepairList& list) {
  const int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  const int first = entry >= 0 ? entry : 0;
  const int end = entry >= 0 ? std::min(entry + 1, count) : count;
  // One request per adapter: later entries of the adapter last served are skipped.
  int last_adapter = count > 0 ? adapters.addresses[0].adapter : -1;
  for (int k = first; k < end; ++k) {
    netenv::AddressEntry& address = adapters.addresses[static_cast<std::size_t>(k)];
    if (entry < 0 && k > 0 && address.adapter == last_adapter) continue;
    platform::Ipv4Address candidate;
    const int found = find_free_address(
        address, [&link](platform::Ipv4Address ip) { return link.address_in_use(ip); }, candidate);
    if (found == address_probe_error) return repair_probe_error;
    if (found == no_free_address) {
      if (entry >= 0) return repair_no_free_address;
      continue;
    }
    const platform::Ipv4Address mask = assignment_mask(address);
    const platform::Ipv4Address destination = (address.ip & mask) | ~mask;
    if (!link.send_assignment(destination, encode_address_assignment(tail, candidate))) return repair_send_failed;
    list.add(candidate);
    advance_next_host(address);
    last_adapter = address.adapter;
  }
  return 0;
}

int finish_by_setup_port(const netenv::AdapterTable& adapters, RepairLink& link, const RepairList& list, bool strict) {
  int failed = 0;
  int not_found = 0;
  int probe_errors = 0;
  for (int i = 0; i < list.count; ++i) {
    const platform::Ipv4Address address = list.addresses[static_cast<std::size_t>(i)];
    const int present = link.address_in_use(address);
    if (present < 0) {
      ++probe_errors;
      continue;
    }
    if (present == 0) {
      ++not_found;
      continue;
    }
    if (link.restore_by_setup_port(address) < 0) ++failed;
  }
  if (failed > 0) return repair_setup_failed;
  if (not_found > 0 && (!strict || not_found == adapters.adapter_count)) return repair_not_found;
  if (probe_errors > 0) return repair_follow_up_probe_error;
  return 0;
}

RepairTarget selected_row_target(const discovery::ModuleRow& row) {
  return {RepairTarget::Origin::selected_row, MacTail{row.mac[4], row.mac[5]}, row.subnet_index, row.raw_only};
}

int repair_module(netenv::AdapterTable& adapters, RepairLink& link, const RepairTarget& target) {
  RepairList list;
  const bool from_dialog = target.origin == RepairTarget::Origin::dialog;
  if (from_dialog || target.raw_only) {
    if (link.presence_probe(from_dialog ? -1 : target.subnet_index, target.tail) == 0) return 0;
  }
  if (link.cancelled()) return repair_cancelled;
  if (!link.open_broadcast_socket()) return repair_socket_failed;
  const int assigned = assign_by_mac(adapters, link, from_dialog ? -1 : target.subnet_index, target.tail, list);
  link.close_broadcast_socket();
  if (!from_dialog && !target.raw_only) return assigned;
  link.wait_ms(restart_wait_ms);
  if (link.cancelled()) return repair_cancelled;
  if (from_dialog) {
    if (list.count == adapters.adapter_count) return finish_by_setup_port(adapters, link, list, true);
    return assigned;
  }
  if (assigned != 0) return assigned;
  return finish_by_setup_port(adapters, link, list, false);
}

}  // namespace maint
