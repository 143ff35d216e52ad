#include "polling/polling_cycle.h"

#include <algorithm>
#include <netinet/in.h>
#include <span>
#include <sys/socket.h>

#include "platform/timed_connect.h"
#include "platform/udp_socket.h"
#include "polling/query_frames.h"

namespace polling {

namespace {

platform::SocketHandle open_polling_socket(std::uint8_t work_mode) {
  switch (work_mode) {
    case discovery::tcp: return platform::SocketHandle(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    case discovery::udp:
    case discovery::snmp: return platform::open_udp_socket();
    default: return {};
  }
}

// A host that drops SYNs costs the default connect time-out, no more.
bool connect_stream(platform::WaitClock& clock, int fd, platform::Ipv4Address ip, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ip.network_order();
  address.sin_port = htons(port);
  return platform::connect_within(clock, fd, address, platform::default_connect_wait_s, 0) ==
         platform::ConnectResult::connected;
}

// The listed sensor module at position, or -1.
int sensor_row_at(const discovery::ModuleTable& modules, int position) {
  const int row = row_at_position(modules, position);
  return row >= 0 && modules.rows[static_cast<std::size_t>(row)].sensor_module ? row : -1;
}

void read_standard(bool first, int row, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings) {
  PollingRow& p = polling.rows[static_cast<std::size_t>(row)];
  const int r = query_module(row, standard_reading_request(), standard_reply_bytes, modules, polling, settings);
  if (r < 0) {
    p.status = static_cast<std::int8_t>(r);
    std::fill_n(p.record.begin(), standard_reply_bytes, 0xFF);
  } else {
    if (first) p.extended = offers_extended_reading(polling.receive_buffer);
    p.status = 1;
    // 27 bytes whatever arrived: a short reply then fails the check when it is shown.
    std::copy_n(polling.receive_buffer.begin(), standard_reply_bytes, p.record.begin());
    p.record[record_length_index] = static_cast<std::uint8_t>(r);
  }
  settings.clock.sleep_ms(row_pause_ms);
}

}  // namespace

int open_polling_sockets(const discovery::ModuleTable& modules, PollingTable& polling, const QuerySettings& settings,
                         const AddressProbe& answers) {
  if (polling.sockets_open) return 0;
  for (int position = 0; position < position_count(modules); ++position) {
    const int row = sensor_row_at(modules, position);
    if (row < 0) continue;
    const discovery::ModuleRow& module = modules.rows[static_cast<std::size_t>(row)];
    PollingRow& p = polling.rows[static_cast<std::size_t>(row)];
    p.socket = open_polling_socket(module.work_mode);
    p.connected = not_pollable;

    platform::Ipv4Address destination;
    if (settings.remote.enabled) {
      if (!p.socket.valid()) return open_no_remote_socket;
      if (!platform::bind_ipv4(p.socket.fd(), settings.remote.local_ip, 0)) {
        p.socket.reset();
        return open_bind_failed;
      }
      destination = settings.remote.remote_ip;
    } else {
      if (!p.socket.valid()) continue;
      destination = module.ip;
      if (!answers(destination)) continue;  // the socket stays until the sockets are closed
    }

    if (module.work_mode != discovery::tcp) {
      p.connected = ready;
    } else if (connect_stream(settings.clock, p.socket.fd(), destination, module.port)) {
      p.connected = ready;
    } else {
      p.socket.reset();
    }
  }
  polling.sockets_open = true;
  return 0;
}

int close_polling_sockets(PollingTable& polling) {
  for (PollingRow& p : polling.rows) {
    p.socket.reset();
    p.connected = no_sockets;
  }
  polling.sockets_open = false;
  return 0;
}

int polling_cycle(bool first, const discovery::ModuleTable& modules, PollingTable& polling,
                  const QuerySettings& settings) {
  for (int position = 0; position < position_count(modules); ++position) {
    if (settings.clock.cancelled()) return polling_cancelled;
    const int row = row_at_position(modules, position);
    if (row < 0) continue;
    const discovery::ModuleRow& module = modules.rows[static_cast<std::size_t>(row)];
    PollingRow& p = polling.rows[static_cast<std::size_t>(row)];
    if (!first && p.extended) {
      if (p.connected == ready) read_extended(position, modules, polling, settings);
      continue;
    }
    if (!module.sensor_module || p.connected != ready) continue;
    if (module.work_mode == discovery::snmp) {
      read_snmp_row(first, position, modules, polling, settings);
      if (first) p.extended = false;
    } else {
      read_standard(first, row, modules, polling, settings);
    }
  }
  return settings.clock.cancelled() ? polling_cancelled : 0;
}

void read_extended(int position, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings) {
  const int row = sensor_row_at(modules, position);
  if (row < 0) return;
  PollingRow& p = polling.rows[static_cast<std::size_t>(row)];
  const int r = query_module(row, extended_reading_request(), extended_reply_bytes, modules, polling, settings);
  if (r < 0) {
    p.status = static_cast<std::int8_t>(r);
    std::fill_n(p.record.begin(), extended_reply_bytes, 0xFF);
  } else {
    p.status = 1;
    std::copy_n(polling.receive_buffer.begin(), std::min(r, extended_reply_bytes), p.record.begin());
    p.record[record_length_index] = static_cast<std::uint8_t>(r);
  }
  settings.clock.sleep_ms(row_pause_ms);
}

void read_snmp_row(bool first, int position, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings) {
  const int row = sensor_row_at(modules, position);
  if (row < 0) return;
  PollingRow& p = polling.rows[static_cast<std::size_t>(row)];
  SnmpName name;
  if (first) read_snmp_name(position, name, modules, polling, settings);

  const int r = query_module(row, snmp_reading_request(), snmp_reading_reply_max_bytes, modules, polling, settings);
  if (r >= 0) {
    std::size_t n;
    if (first) {
      n = static_cast<std::size_t>(name.length);  // at most 19
      p.record[0] = static_cast<std::uint8_t>(n);
      std::copy_n(name.bytes.begin(), n, p.record.begin() + 1);
    } else {
      n = p.record[0];
    }
    const SnmpReading reading = parse_snmp_reading(std::span(polling.receive_buffer).first(static_cast<std::size_t>(r)));
    if (reading.valid) {
      p.status = 1;
      // A foreign name length may leave no room for the values: they are dropped then.
      if (n + 1 + snmp_values_bytes <= p.record.size()) {
        std::copy(reading.values.begin(), reading.values.end(), p.record.begin() + static_cast<std::ptrdiff_t>(n + 1));
      }
      settings.clock.sleep_ms(row_pause_ms);
      return;
    }
  }
  p.status = -1;
  settings.clock.sleep_ms(row_pause_ms);
}

int read_snmp_name(int position, SnmpName& name, const discovery::ModuleTable& modules, PollingTable& polling,
                   const QuerySettings& settings) {
  name = SnmpName{};
  const int row = row_at_position(modules, position);
  const int r = query_module(row, snmp_name_request(), snmp_name_reply_max_bytes, modules, polling, settings);
  if (r < 0) {
    settings.clock.sleep_ms(row_pause_ms);
    return -1;
  }
  name = parse_snmp_name(std::span(polling.receive_buffer).first(static_cast<std::size_t>(r)));
  settings.clock.sleep_ms(row_pause_ms);
  return 0;
}

}  // namespace polling
