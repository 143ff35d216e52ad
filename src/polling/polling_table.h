#pragma once
// Polling's columns beside each Module table row, and the one receive buffer that every
// data query writes from its start (callers copy what they need at once).
//
// Reading record, text rows: bytes 0-42 the reply as received, byte 43 its length (low 8
// bits); 0xFF over the reply bytes after a failed reading. SNMP rows: byte 0 the name
// length n, bytes 1..n the name, bytes n+1..n+4 the values V0-V3 (0xEE when not sent).
// In server mode the upload server keeps its readings in the same records.
#include <array>
#include <cstdint>

#include "discovery/module_table.h"
#include "platform/socket_handle.h"

namespace polling {

constexpr int reading_record_bytes = 44;
constexpr int record_length_index = 43;
constexpr int snmp_values_bytes = 4;
constexpr int receive_buffer_bytes = 256;

// Values of the connected column.
constexpr int no_sockets = -1;     // none opened since the table was cleared or closed
constexpr int not_pollable = 0;    // no socket, not reachable or the connect failed
constexpr int ready = 1;

struct PollingRow {
  platform::SocketHandle socket;
  int connected = no_sockets;
  std::int8_t status = -1;  // 1, or the failure code of the last exchange
  std::array<std::uint8_t, reading_record_bytes> record{};
  bool extended = false;    // answers the extended reading; decided by the first cycle
};

struct PollingTable {
  std::array<PollingRow, discovery::max_rows> rows{};
  // Also the upload server's running flag: polling and the server never run together.
  bool sockets_open = false;
  std::array<std::uint8_t, receive_buffer_bytes> receive_buffer{};
};

// With the Module table cleared, no row has been polled.
inline void reset_polling_rows(PollingTable& table) {
  for (PollingRow& row : table.rows) {
    row.connected = no_sockets;
    row.status = -1;
    row.extended = false;
  }
}

// Number of list positions, never more than the table holds.
inline int position_count(const discovery::ModuleTable& modules) {
  return modules.shown_count < 0 ? 0 : modules.shown_count > discovery::max_rows ? discovery::max_rows : modules.shown_count;
}

// Module table row listed at position, or -1 when there is none.
inline int row_at_position(const discovery::ModuleTable& modules, int position) {
  if (position < 0 || position >= position_count(modules)) return -1;
  const int row = modules.display_order[static_cast<std::size_t>(position)];
  return row >= 0 && row < discovery::max_rows ? row : -1;
}

}  // namespace polling
