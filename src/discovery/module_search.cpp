#include "discovery/module_search.h"

#include <algorithm>
#include <array>
#include <span>

#include "discovery/discovery_datagrams.h"
#include "discovery/discovery_socket.h"
#include "discovery/search_passes.h"
#include "discovery/search_result_line.h"
#include "platform/udp_socket.h"
#include "ui/texts.h"

namespace discovery {

namespace {

// Every wait of a pass; it starts again after each datagram, so steady foreign traffic
// keeps a pass listening on one entry.
constexpr long reply_wait_s = 0;
constexpr long reply_wait_us = 600000;
constexpr int retry_pause_ms = 100;

enum class Receive { datagram, timeout, wait_failed, cancelled };

// Waits for and receives one datagram into buffer; bytes are the datagram, or empty when
// it did not fit the buffer or the receive failed (a pending error is skipped like a
// foreign datagram: only sends and waits abort a pass).
Receive receive_one(platform::WaitClock& clock, int fd, std::span<std::uint8_t> buffer,
                    std::span<const std::uint8_t>& bytes, platform::Ipv4Address& source_ip) {
  switch (clock.wait_readable(fd, reply_wait_s, reply_wait_us)) {
    case platform::WaitResult::timeout: return Receive::timeout;
    case platform::WaitResult::cancelled: return Receive::cancelled;
    case platform::WaitResult::error: return Receive::wait_failed;
    case platform::WaitResult::ready: break;
  }
  platform::Datagram info;
  const int length = platform::receive_datagram(fd, buffer, info);
  const bool fits = length >= 0 && static_cast<std::size_t>(length) <= buffer.size();
  bytes = fits ? buffer.first(static_cast<std::size_t>(length)) : std::span<const std::uint8_t>{};
  source_ip = info.source_ip;
  return Receive::datagram;
}

int entry_count(const netenv::AdapterTable& adapters) {
  return std::clamp(adapters.address_count, 0, netenv::max_address_entries);
}

bool send_query(int fd, const netenv::AddressEntry& entry, std::span<const std::uint8_t> query) {
  return platform::send_datagram(fd, entry.broadcast(), discovery_port, query) >= 0;
}

}  // namespace

int device_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table) {
  // A failure here shows up as the broadcast send failing.
  platform::enable_broadcast(fd);
  table.device_reply_count = 0;
  std::array<std::uint8_t, device_reply_buffer_bytes> buffer{};
  for (int k = 0; k < entry_count(adapters); ++k) {
    if (!send_query(fd, adapters.addresses[k], device_query)) return pass_send_failed;
    for (;;) {
      std::span<const std::uint8_t> bytes;
      platform::Ipv4Address source;
      const Receive got = receive_one(clock, fd, buffer, bytes, source);
      if (got == Receive::timeout) break;
      if (got == Receive::wait_failed) return pass_wait_failed;
      if (got == Receive::cancelled) return pass_cancelled;
      if (!is_device_reply(bytes)) continue;
      store_device_reply(table, bytes.first<device_reply_bytes>(), source);
      if (table.device_reply_count >= max_rows) return 0;
    }
  }
  return 0;
}

int configuration_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table) {
  int rows = 0;
  std::array<std::uint8_t, configuration_reply_buffer_bytes> buffer{};
  for (int k = 0; k < entry_count(adapters); ++k) {
    if (!send_query(fd, adapters.addresses[k], configuration_query)) return pass_send_failed;
    // With the table full, the remaining entries are still queried but not read.
    while (rows < max_rows) {
      std::span<const std::uint8_t> bytes;
      platform::Ipv4Address source;
      const Receive got = receive_one(clock, fd, buffer, bytes, source);
      if (got == Receive::timeout) break;
      if (got == Receive::wait_failed) return pass_wait_failed;
      if (got == Receive::cancelled) return pass_cancelled;
      if (!is_configuration_reply(bytes)) continue;
      decode_configuration_reply(table, rows, bytes.first<configuration_reply_bytes>(), source, k);
      ++rows;
    }
  }
  return rows;
}

int search_modules(platform::WaitClock& clock, netenv::AdapterTable& adapters, ModuleTable& table,
                   std::uint16_t expected_port, ui::MainView& view, RawSearch* raw_search) {
  auto notice = [&](const char* text) {
    view.show_message(ui::texts::caption_notice, text, ui::Icon::none, ui::Buttons::ok);
  };
  if (raw_search != nullptr) raw_search->start(adapters);
  platform::SocketHandle socket;
  if (open_broadcast_socket(socket) != 0) {
    view.warn(ui::texts::caption_error, ui::texts::search_network_access_error);
    return search_open_failed;
  }
  int r = device_pass(clock, socket.fd(), adapters, table);
  if (r == pass_cancelled) return search_cancelled;
  if (r < 0) {
    notice(ui::texts::search_error_device_pass);
    return search_device_pass_failed;
  }
  int rows = configuration_pass(clock, socket.fd(), adapters, table);
  if (rows == pass_cancelled) return search_cancelled;
  if (rows < 0) {
    notice(ui::texts::search_error_configuration_pass);
    return search_configuration_pass_failed;
  }
  if (rows != table.device_reply_count) {
    if (!clock.sleep_ms(retry_pause_ms)) return search_cancelled;
    r = device_pass(clock, socket.fd(), adapters, table);
    if (r == pass_cancelled) return search_cancelled;
    if (r < 0) {
      notice(ui::texts::search_error_device_retry);
      return search_device_pass_failed;
    }
    rows = configuration_pass(clock, socket.fd(), adapters, table);
    if (rows == pass_cancelled) return search_cancelled;
    if (rows < 0) {
      notice(ui::texts::search_error_configuration_retry);
      return search_configuration_pass_failed;
    }
    if (rows != table.device_reply_count) {
      notice(ui::texts::search_incomplete);
      return search_counts_differ;
    }
  }
  socket.reset();
  pair_device_replies(table);
  table.found_count = table.device_reply_count;
  table.shown_count = table.device_reply_count;
  order_rows(table, adapters);
  if (raw_search != nullptr && !clock.cancelled()) raw_search->run(table, adapters, view);
  refresh_module_list(table, adapters, expected_port, view);
  return 0;
}

}  // namespace discovery
