#include "polling/query_module.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>

#include "platform/udp_socket.h"
#include "polling/query_frames.h"

namespace polling {

namespace {

constexpr long writable_wait_us = 200;
constexpr int snmp_wait_ms = 10;
constexpr int remote_datagram_pause_ms = 30;

struct Exchange {
  const discovery::ModuleRow& module;
  int fd;
  bool datagram;
  const QuerySettings& settings;
};

int send_request(const Exchange& x, std::span<const std::uint8_t> request, bool sockets_open) {
  if (!sockets_open) return query_not_open;
  switch (x.settings.clock.wait_writable(x.fd, 0, writable_wait_us)) {
    case platform::WaitResult::cancelled: return query_cancelled;
    case platform::WaitResult::error: return query_select_error;
    case platform::WaitResult::timeout: return query_timeout;
    case platform::WaitResult::ready: break;
  }
  long sent;
  if (x.datagram) {
    const platform::Ipv4Address ip = x.settings.remote.enabled ? x.settings.remote.remote_ip : x.module.ip;
    const std::uint16_t port = x.module.work_mode == discovery::snmp ? snmp_port : x.module.port;
    sent = platform::send_datagram(x.fd, ip, port, request);
  } else {
    sent = ::send(x.fd, request.data(), request.size(), MSG_NOSIGNAL);
  }
  return sent < 0 ? query_send_failed : 0;
}

// One read: the byte count, or -1 with errno set. A datagram that did not fit is a failure.
long read_once(const Exchange& x, std::span<std::uint8_t> reply) {
  if (!x.datagram) return ::recv(x.fd, reply.data(), reply.size(), 0);
  platform::Datagram info;
  const int n = platform::receive_datagram(x.fd, reply, info);
  if (n > static_cast<int>(reply.size())) {
    errno = EMSGSIZE;
    return -1;
  }
  return n;
}

int receive_reply(const Exchange& x, std::span<std::uint8_t> reply) {
  const ReceiveTimeout timeout = receive_timeout(x.settings.remote.enabled, x.module.wireless);
  platform::WaitClock& clock = x.settings.clock;
  switch (clock.wait_readable(x.fd, timeout.seconds, timeout.microseconds)) {
    case platform::WaitResult::cancelled: return query_cancelled;
    case platform::WaitResult::error: return query_select_error;
    case platform::WaitResult::timeout: return query_timeout;
    case platform::WaitResult::ready: break;
  }
  if (x.datagram && x.settings.remote.enabled && !clock.sleep_ms(remote_datagram_pause_ms)) return query_cancelled;
  long n = read_once(x, reply);
  if (n < 0 && (x.datagram || errno == EAGAIN || errno == EWOULDBLOCK)) {
    // Read once more, but the socket blocks: wait no longer than the receive time-out.
    if (!clock.sleep_ms(reread_pause_ms)) return query_cancelled;
    switch (clock.wait_readable(x.fd, timeout.seconds, timeout.microseconds)) {
      case platform::WaitResult::cancelled: return query_cancelled;
      case platform::WaitResult::ready: n = read_once(x, reply); break;
      case platform::WaitResult::timeout:
      case platform::WaitResult::error: n = -1; break;
    }
  }
  if (n < 0) return query_receive_failed;
  if (n == 0) return query_peer_closed;
  return static_cast<int>(n);
}

}  // namespace

int wait_before_read_ms(bool snmp_row, int baud_index, int request_bytes, int expected_reply_bytes) {
  if (snmp_row) return snmp_wait_ms;
  const int d = request_bytes + expected_reply_bytes;
  switch (discovery::baud_rate(baud_index)) {
    case 2400: return 5 * d + 120;
    case 4800: return 3 * d + 80;
    case 9600: return 2 * d + 40;
    case 19200: return d + 40;
    case 38400: return d / 2 + 40;
    case 115200: return d / 4 + 40;
    default: return 100;
  }
}

ReceiveTimeout receive_timeout(bool remote, bool wireless) {
  return {remote ? 3L : 0L, wireless ? 800'000L : 200'000L};
}

int query_module(int row, std::span<const std::uint8_t> request, int expected_reply_bytes,
                 const discovery::ModuleTable& modules, PollingTable& polling, const QuerySettings& settings) {
  if (row < 0 || row >= discovery::max_rows) return query_select_error;
  const discovery::ModuleRow& module = modules.rows[static_cast<std::size_t>(row)];
  const Exchange x{module, polling.rows[static_cast<std::size_t>(row)].socket.fd(), module.work_mode != discovery::tcp,
                   settings};
  const std::size_t reply_bytes = static_cast<std::size_t>(std::clamp(expected_reply_bytes, 0, receive_buffer_bytes));
  const std::span<std::uint8_t> reply = std::span(polling.receive_buffer).first(reply_bytes);

  for (int attempt = 1;; ++attempt) {
    const int sent = send_request(x, request, polling.sockets_open);
    if (sent != 0) return sent;
    if (!settings.clock.sleep_ms(wait_before_read_ms(module.work_mode == discovery::snmp, settings.baud_index,
                                                     static_cast<int>(request.size()), expected_reply_bytes)))
      return query_cancelled;
    const int received = receive_reply(x, reply);
    if (received > 0 || received == query_cancelled) return received;
    if (!settings.clock.sleep_ms(retry_pause_ms)) return query_cancelled;
    if (attempt == query_attempts) return received;
  }
}

}  // namespace polling
