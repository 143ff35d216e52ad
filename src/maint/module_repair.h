#pragma once
// Module repair by MAC address: a module that no search finds is asked on the Maintenance
// port whether it answers; if not, it is given a free address in each local subnet by its
// MAC tail, and after its restart the setup port at each address sets it back to 38400
// baud and data port 10050.
#include <array>
#include <cstdint>
#include <vector>

#include "discovery/module_table.h"
#include "maint/address_assignment.h"
#include "netenv/adapter_table.h"

namespace maint {

constexpr int restart_wait_ms = 9000;
constexpr int repair_list_capacity = 29;

// Codes of repair_module.
constexpr int repair_probe_error = -1;
constexpr int repair_send_failed = -2;
constexpr int repair_no_free_address = -3;
constexpr int repair_socket_failed = -4;
constexpr int repair_setup_failed = -10;
constexpr int repair_not_found = -11;
constexpr int repair_follow_up_probe_error = -12;
constexpr int repair_cancelled = -20;  // Stop or the close box: the operator has left

// What repair does on the network; RepairNetwork (repair_network.h) is the program's.
class RepairLink {
 public:
  virtual ~RepairLink() = default;
  // The Maintenance-port presence probe on address entry `entry` (-1: every adapter): 0
  // when the module answered, negative otherwise.
  virtual int presence_probe(int entry, MacTail tail) = 0;
  // The Discovery-port broadcast socket, open between these two calls.
  virtual bool open_broadcast_socket() = 0;
  virtual bool send_assignment(platform::Ipv4Address destination, const AddressAssignment& request) = 0;
  virtual void close_broadcast_socket() = 0;
  // 1 when a device answers for the address, 0 when none does, negative when the probe
  // cannot run.
  virtual int address_in_use(platform::Ipv4Address ip) = 0;
  virtual void wait_ms(int milliseconds) = 0;
  // Logs into the setup port at the address and runs the key script: 0, or negative when
  // the connection, the login or the script failed.
  virtual int restore_by_setup_port(platform::Ipv4Address ip) = 0;
  // True once the operator abandoned the operation: the repair stops between its steps.
  virtual bool cancelled() const = 0;
};

// Who asked: the repair dialog (every subnet) or the selected Module table row (its
// subnet only; its presence is asked only when it was seen by its ARP frames alone).
struct RepairTarget {
  enum class Origin { dialog = 0, selected_row = 1 };
  Origin origin = Origin::dialog;
  MacTail tail;
  int subnet_index = 0;  // selected row only
  bool raw_only = false;  // selected row only
};

// The target for the selected Module table row: its subnet, its MAC tail, its raw_only flag.
RepairTarget selected_row_target(const discovery::ModuleRow& row);

// The addresses given during one repair; at most 29 are kept.
struct RepairList {
  std::array<platform::Ipv4Address, repair_list_capacity> addresses{};
  int count = 0;
  void add(platform::Ipv4Address address) {
    if (count < repair_list_capacity) addresses[static_cast<std::size_t>(count++)] = address;
  }
};

// The whole repair: 0 or a code above. Advances next_host of the entries it used. Once
// cancelled it sends nothing more and returns repair_cancelled.
int repair_module(netenv::AdapterTable& adapters, RepairLink& link, const RepairTarget& target);

// Sends each address entry's request (entry `entry` only when >= 0; else one per adapter)
// on the open broadcast socket: 0, repair_probe_error, repair_send_failed or
// repair_no_free_address (single entry only).
int assign_by_mac(netenv::AdapterTable& adapters, RepairLink& link, int entry, MacTail tail, RepairList& list);

// The setup-port follow-up at every listed address: 0, repair_setup_failed,
// repair_not_found or repair_follow_up_probe_error. strict: not found only when no
// adapter's address found the module.
int finish_by_setup_port(const netenv::AdapterTable& adapters, RepairLink& link, const RepairList& list, bool strict);

}  // namespace maint
