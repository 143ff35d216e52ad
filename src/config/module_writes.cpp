#include "config/module_writes.h"

#include <algorithm>
#include <array>
#include <span>

#include "config/record_edits.h"
#include "config/set_configuration.h"
#include "discovery/discovery_socket.h"
#include "platform/udp_socket.h"

namespace config {
namespace {

MacTail mac_tail(const discovery::ModuleRow& row) { return {row.mac[4], row.mac[5]}; }

// Reads the acknowledgement once the socket is readable.
int read_ack(int socket_fd) {
  std::array<std::uint8_t, discovery::set_configuration_ack_max_bytes> buffer{};
  platform::Datagram info;
  const int length = platform::receive_datagram(socket_fd, buffer, info);
  if (length < 0) return write_receive_failed;
  const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(info.length), buffer.size());
  return is_set_configuration_ack(std::span(buffer).first(kept)) ? 0 : write_not_ack;
}

// Waits for datagrams until a wait of wait_us passes in silence; `take` judges each one.
// 0 when take accepted at least one, else wireless_no_reply; write_wait_failed on a failed
// or cancelled wait.
template <std::size_t buffer_bytes, typename Take>
int collect_until_silence(platform::WaitClock& clock, int socket_fd, long wait_us, Take take) {
  bool seen = false;
  std::array<std::uint8_t, buffer_bytes> buffer{};
  for (;;) {
    const platform::WaitResult waited = clock.wait_readable(socket_fd, 0, wait_us);
    if (waited == platform::WaitResult::timeout) return seen ? 0 : wireless_no_reply;
    if (waited != platform::WaitResult::ready) return write_wait_failed;
    platform::Datagram info;
    if (platform::receive_datagram(socket_fd, buffer, info) < 0) return write_wait_failed;
    // A datagram longer than the buffer keeps its real length, so it never passes for a shorter one.
    if (info.length > static_cast<int>(buffer.size())) continue;
    if (take(std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(info.length)))) seen = true;
  }
}

}  // namespace

int write_module_record(platform::WaitClock& clock, int socket_fd, discovery::ModuleRow& row,
                        const netenv::PendingParameters& pending, bool with_network) {
  apply_pending_parameters(row.record, pending, with_network);
  const auto frame = set_configuration_request(row.record);
  if (platform::send_datagram(socket_fd, row.ip, discovery::discovery_port, frame) !=
      static_cast<int>(frame.size()))
    return write_send_failed;
  switch (clock.wait_readable(socket_fd, 0, ack_wait_us)) {
    case platform::WaitResult::ready: return read_ack(socket_fd);
    case platform::WaitResult::timeout: return write_no_ack;
    default: return write_wait_failed;
  }
}

int write_selected_module(platform::WaitClock& clock, discovery::ModuleRow& row,
                          const netenv::PendingParameters& pending) {
  platform::SocketHandle socket;
  if (discovery::open_broadcast_socket(socket) != 0) return write_wait_failed;
  return write_module_record(clock, socket.fd(), row, pending, true);
}

int write_remote_module(platform::WaitClock& clock, discovery::ModuleRow& row, const netenv::PendingParameters& pending,
                        platform::Ipv4Address remote_ip, platform::Ipv4Address local_ip) {
  platform::SocketHandle socket = platform::open_udp_socket();
  if (!socket.valid() || !platform::bind_ipv4(socket.fd(), local_ip, 0)) return remote_socket_failed;
  apply_pending_parameters(row.record, pending, false);
  const auto frame = set_configuration_request(row.record);
  for (int attempt = 0; attempt < remote_attempts; ++attempt) {
    if (platform::send_datagram(socket.fd(), remote_ip, discovery::discovery_port, frame) !=
        static_cast<int>(frame.size()))
      continue;
    const platform::WaitResult waited = clock.wait_readable(socket.fd(), remote_ack_wait_s, remote_ack_wait_us);
    if (waited == platform::WaitResult::cancelled) break;
    if (waited != platform::WaitResult::ready) continue;
    if (!clock.sleep_ms(remote_read_delay_ms)) break;
    if (read_ack(socket.fd()) == 0) return 0;
  }
  return remote_all_attempts_failed;
}

int read_wireless(platform::WaitClock& clock, int socket_fd, const discovery::ModuleRow& row, WirelessCopies& copies) {
  const MacTail tail = mac_tail(row);
  const auto request = wireless_read_request(tail);
  if (platform::send_datagram(socket_fd, row.ip, maintenance_port, request) !=
      static_cast<int>(request.size()))
    return write_send_failed;
  return collect_until_silence<wireless_reply_buffer_bytes>(
      clock, socket_fd, wireless_read_silence_us, [&](std::span<const std::uint8_t> datagram) {
        const auto block = parse_wireless_reply(datagram, tail);
        if (!block) return false;
        copies.as_read = *block;
        copies.edited = *block;
        return true;
      });
}

int read_selected_wireless(platform::WaitClock& clock, const discovery::ModuleRow& row, WirelessCopies& copies) {
  platform::SocketHandle socket;
  if (discovery::open_broadcast_socket(socket) != 0) return write_wait_failed;
  return read_wireless(clock, socket.fd(), row, copies);
}

int write_wireless(platform::WaitClock& clock, int socket_fd, const discovery::ModuleRow& row,
                   const WirelessBlock& edited) {
  const MacTail tail = mac_tail(row);
  const auto frame = wireless_write_request(tail, edited);
  if (platform::send_datagram(socket_fd, row.ip, maintenance_port, frame) != static_cast<int>(frame.size()))
    return write_send_failed;
  return collect_until_silence<wireless_ack_buffer_bytes>(
      clock, socket_fd, wireless_ack_wait_us,
      [&](std::span<const std::uint8_t> datagram) { return is_wireless_write_ack(datagram, tail); });
}

int write_selected_wireless(platform::WaitClock& clock, const discovery::ModuleRow& row, const WirelessCopies& copies) {
  if (copies.edited == copies.as_read) return 0;
  platform::SocketHandle socket;
  if (discovery::open_broadcast_socket(socket) != 0) return write_wait_failed;
  return write_wireless(clock, socket.fd(), row, copies.edited);
}

}  // namespace config
