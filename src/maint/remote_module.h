#pragma once
// The remote module: one module outside the local subnets, addressed by the IP the operator
// typed, read with unicast discovery queries (three 3.2 s attempts for each query) into row 0
// of the Module table, or described by hand when it does not answer them.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "discovery/module_table.h"
#include "platform/ipv4_address.h"
#include "platform/udp_socket.h"
#include "platform/wait_clock.h"
#include "polling/polling_table.h"

namespace maint {

constexpr int remote_query_attempts = 3;
constexpr long remote_reply_wait_s = 3;
constexpr long remote_reply_wait_us = 200000;
constexpr int remote_query_pause_ms = 30;  // between the configuration and the device query

// Codes of read_remote_module.
constexpr int remote_socket_failed = -1;
constexpr int remote_no_configuration = -2;
constexpr int remote_no_device = -3;

// The polling status of a row described by hand: no exchange yet (255 in the signed column).
constexpr std::int8_t status_set_by_hand = static_cast<std::int8_t>(255);

// The query socket: UDP, bound to the address of the adapter the remote module answered on.
class QuerySocket {
 public:
  virtual ~QuerySocket() = default;
  virtual bool send(platform::Ipv4Address ip, std::uint16_t port, std::span<const std::uint8_t> bytes) = 0;
  virtual platform::WaitResult wait_readable(long seconds, long microseconds) = 0;
  // As platform::receive_datagram: -1 on error, info.length the datagram's full length.
  virtual int receive(std::span<std::uint8_t> buffer, platform::Datagram& info) = 0;
};

// Opens the query socket bound to local_ip (port 0); null when it cannot be set up.
using QuerySocketOpener = std::function<std::unique_ptr<QuerySocket>(platform::Ipv4Address local_ip)>;

// A real UDP socket whose waits go through clock.
QuerySocketOpener system_query_sockets(platform::WaitClock& clock);

struct RemoteTarget {
  platform::Ipv4Address remote_ip;
  platform::Ipv4Address local_ip;  // of address entry subnet_index
  int subnet_index = 0;                // becomes row 0's subnet_index
  std::uint16_t expected_port = discovery::default_expected_port;
};

// Asks target.remote_ip for its configuration, then its device reply; only a
// 124-byte 00 00 00 F9 and a 30-byte 00 00 00 F7 datagram are taken, anything else is
// dropped and the wait starts again. On success the Module table holds the module alone in
// row 0 and selected_work_mode is its work mode. 0 or a code above.
int read_remote_module(const QuerySocketOpener& open_socket, platform::WaitClock& clock, const RemoteTarget& target,
                       discovery::ModuleTable& table, int& selected_work_mode);

// Row 0 as the operator described it: a sensor module with SNMP, port 10050, the chosen
// work mode, the given subnet; polling status 255 until it is first polled.
void set_remote_module_by_hand(discovery::ModuleTable& table, polling::PollingTable& polling, int subnet_index,
                               int work_mode);

}  // namespace maint
