#pragma once
// `query module`: one request/reply exchange with a sensor module over its polling socket
// (send, wait, receive; up to 3 attempts), the reply left in the shared receive buffer.
#include <cstdint>
#include <span>

#include "discovery/module_table.h"
#include "platform/wait_clock.h"
#include "polling/polling_table.h"

namespace polling {

// Remote mode: the one remote module sits in row 0 and is reached at remote_ip through
// the adapter address local_ip.
struct RemoteMode {
  bool enabled = false;
  platform::Ipv4Address remote_ip;
  platform::Ipv4Address local_ip;
};

struct QuerySettings {
  platform::WaitClock& clock;  // every wait and pause of the exchanges
  int baud_index = 1;          // index into the baud table, from the settings
  RemoteMode remote;
};

// Result codes; a positive result is the number of reply bytes in the receive buffer.
constexpr int query_select_error = -1;
constexpr int query_timeout = -2;       // not writable within 200 µs, or no reply in time
constexpr int query_send_failed = -3;
constexpr int query_not_open = -4;      // the sockets open flag is 0
constexpr int query_receive_failed = -7;
constexpr int query_peer_closed = -8;   // also a zero-length datagram
constexpr int query_cancelled = -9;     // Stop or the close box abandoned the exchange

constexpr int query_attempts = 3;
constexpr int retry_pause_ms = 200;
constexpr int reread_pause_ms = 30;

// Pause between send and read, by the time the serial line behind the module needs for
// request and reply at the settings' baud rate; 10 ms for SNMP rows.
int wait_before_read_ms(bool snmp_row, int baud_index, int request_bytes, int expected_reply_bytes);

struct ReceiveTimeout {
  long seconds = 0;
  long microseconds = 0;
};
// 200 ms wired, 800 ms wireless, 3 s more in remote mode.
ReceiveTimeout receive_timeout(bool remote, bool wireless);

// Sends request to the module of Module table row `row` and reads at most
// expected_reply_bytes into polling.receive_buffer; a longer datagram is a failed read.
int query_module(int row, std::span<const std::uint8_t> request, int expected_reply_bytes,
                 const discovery::ModuleTable& modules, PollingTable& polling, const QuerySettings& settings);

}  // namespace polling
