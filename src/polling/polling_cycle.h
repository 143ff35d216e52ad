#pragma once
// The polling cycle: one socket per sensor module from Start to Stop, one exchange per
// module and cycle in list order, the outcome kept in the module's polling columns.
#include <cstdint>
#include <functional>

#include "discovery/module_table.h"
#include "polling/polling_table.h"
#include "polling/query_module.h"
#include "polling/snmp_replies.h"

namespace polling {

// True when a device answers for the address.
using AddressProbe = std::function<bool(platform::Ipv4Address ip)>;

// Codes of open_polling_sockets (remote mode only).
constexpr int open_no_remote_socket = -2;
constexpr int open_bind_failed = -3;

constexpr int row_pause_ms = 2;
// The cycle was abandoned (Stop, the close box): its rows are partly updated, not to be shown.
constexpr int polling_cancelled = -4;

// Opens a socket per listed sensor module (TCP rows connected) unless the sockets are
// open. Outside remote mode a module the probe does not find is not polled.
int open_polling_sockets(const discovery::ModuleTable& modules, PollingTable& polling, const QuerySettings& settings,
                         const AddressProbe& answers = [](platform::Ipv4Address) { return true; });

// Closes every row's socket (harmless for rows that have none). Returns 0.
int close_polling_sockets(PollingTable& polling);

// One pass over the list positions; first = the cycle run by Start, which decides each
// text module's extended flag and reads the SNMP names. Returns 0, or polling_cancelled.
int polling_cycle(bool first, const discovery::ModuleTable& modules, PollingTable& polling, const QuerySettings& settings);

void read_extended(int position, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings);
void read_snmp_row(bool first, int position, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings);
// 0 with the name (possibly empty), or -1 when the module did not answer.
int read_snmp_name(int position, SnmpName& name, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings);

}  // namespace polling
