#include "server/upload_server.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdarg>
#include <ctime>

#include "platform/socket_error_codes.h"
#include "platform/socket_wait.h"
#include "platform/udp_socket.h"
#include "polling/append_format.h"
#include "polling/reading_decoders.h"
#include "ui/texts/server.h"

namespace server {

// A slot's readings go to the polling row of the same index.
static_assert(max_slots <= discovery::max_rows);

namespace {

constexpr int receive_attempts = 3;  // a would-block is retried twice
// Events already waiting on a socket are handled in one wake-up, each as its own event, so
// a flood repaints the window once per burst instead of once per record; the bound keeps
// a Stop waiting behind at most this many.
constexpr int events_per_wakeup = 32;
constexpr int retry_pause_ms = 30;
constexpr int scroll_from_lines = 20;
constexpr int lines_above_last = 18;

// Close-line codes: network down 1, connection reset 2; closed-ok codes: aborted 1, else 0.
constexpr int closed_net_down = 1;
constexpr int closed_reset = 2;

ClockTime clock_time(const std::tm& local) { return {local.tm_hour, local.tm_min, local.tm_sec}; }

// The error the kernel holds for a socket, as the log numbers it; 0 when none.
int pending_error(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  return error == 0 ? 0 : platform::socket_error_code(error);
}

// The first event of a wake-up is due; each further one only when more has arrived.
bool still_readable(int fd, int events_handled) {
  return events_handled == 0 || platform::wait_readable(fd, 0, 0) == platform::WaitResult::ready;
}

PeerAddress peer_of(const sockaddr_in& address) {
  return {platform::Ipv4Address::from_network_order(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

}  // namespace

void clear_upload_summary(ServerState& state) {
  state.summary = {};
  state.intervals = {};
}

UploadServer::UploadServer(ServerState& state, const ServerSettings& settings, const netenv::AdapterTable& adapters,
                           const netenv::ExternalAddresses& external, polling::PollingTable& polling,
                           ui::MainView& view, platform::WaitClock& clock)
    : state_(state),
      settings_(settings),
      adapters_(adapters),
      external_(external),
      polling_(polling),
      view_(view),
      clock_(clock) {}

int UploadServer::start_server() {
  if (polling_.sockets_open || running()) return 0;
  const bool tcp = uses_tcp(settings_);
  platform::SocketHandle socket(::socket(AF_INET, (tcp ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!socket.valid()) return start_socket_failed;
  const int entry = settings_.local_address_index;
  if (entry < 0 || entry >= adapters_.address_count || entry >= netenv::max_address_entries) return start_bind_failed;
  // Connections of an earlier run may linger in TIME_WAIT on this port; they must not
  // keep a new listener from binding it.
  const int on = 1;
  if (tcp && ::setsockopt(socket.fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return start_socket_failed;
  const netenv::AddressEntry& local = adapters_.addresses[static_cast<std::size_t>(entry)];
  const platform::Ipv4Address ip = local.ip;
  // Linux gives a socket bound to one address none of the broadcasts to its subnet, which
  // modules may be set to upload to: the UDP socket takes the port on every address and
  // keeps only what was sent to the chosen address or its subnet's broadcast.
  if (!platform::bind_ipv4(socket.fd(), tcp ? ip : platform::Ipv4Address{}, settings_.port)) return start_bind_failed;
  if (tcp && ::listen(socket.fd(), listen_backlog) != 0) return start_listen_failed;
  if (!tcp && !(platform::enable_broadcast(socket.fd()) && platform::enable_destination_info(socket.fd())))
    return start_socket_failed;

  for (ConnectionSlot& slot : state_.connection_table) slot = {};
  state_.connection_count = 0;
  state_.log_line_number = 0;
  state_.listener_paused = false;
  state_.local_ip = ip;
  state_.local_broadcast = local.broadcast();
  state_.socket = std::move(socket);
  if (tcp) {
    watch_listener();
  } else {
    watcher().watch(state_.socket.fd(), [this](int fd) {
      for (int n = 0; n < events_per_wakeup && still_readable(fd, n); ++n) on_udp_read_event();
    });
  }
  return 0;
}

void UploadServer::stop_server() {
  if (!state_.socket.valid()) return;
  for (int slot = 0; slot < max_slots; ++slot) {
    ConnectionSlot& s = state_.connection_table[static_cast<std::size_t>(slot)];
    if (s.socket.valid()) watcher().unwatch(s.socket.fd());
    s = {};
  }
  watcher().unwatch(state_.socket.fd());
  state_.socket.reset();
  state_.connection_count = 0;
  state_.listener_paused = false;
}

void UploadServer::banner() {
  const int entry = settings_.local_address_index;
  platform::Ipv4Address ip;
  if (entry >= 0 && entry < netenv::max_address_entries) ip = adapters_.addresses[static_cast<std::size_t>(entry)].ip;
  const std::string external =
      entry >= 0 && entry < netenv::looked_up_entries ? external_.text[static_cast<std::size_t>(entry)] : "";
  write_banner(banner_line(uses_tcp(settings_), ip, external, settings_.port), clock_time(clock_.local_time()),
               clock_.tick_count_ms(), state_.intervals, view_);
}

void UploadServer::watch_listener() {
  watcher().watch(state_.socket.fd(), [this](int fd) { on_accept_event(pending_error(fd)); });
}

void UploadServer::log(const char* event_format, ...) {
  std::string line;
  polling::append_format(line, ui::texts::log_stamp, state_.log_line_number, event_time_.hours, event_time_.minutes,
                         event_time_.seconds);
  va_list arguments;
  va_start(arguments, event_format);
  polling::append_vformat(line, event_format, arguments);
  va_end(arguments);
  add_log_line(line);
}

void UploadServer::add_log_line(const std::string& line) {
  view_.list_add(ui::ListId::data, line);
  ++state_.log_line_number;
}

void UploadServer::tell_listener(std::size_t slot, PeerAddress peer, std::optional<float> interval_s) {
  if (listener_ == nullptr) return;
  const ReadingRecord& readings = polling_.rows[slot].record;
  listener_->on_upload({event_time_, peer, state_.slot_identities[slot],
                        polling::temperature_celsius(readings, temperature_at),
                        polling::humidity_percent(readings, humidity_at), polling::digital_inputs(readings, inputs_at),
                        interval_s});
}

void UploadServer::housekeeping() {
  const int lines = view_.list_count(ui::ListId::data);
  if (lines >= scroll_from_lines) view_.list_set_top_index(ui::ListId::data, lines - lines_above_last);
  if (state_.log_line_number >= log_lines_before_reset) {
    view_.list_clear(ui::ListId::data);
    state_.log_line_number = 0;
  }
}

// A readable connection carries data, an end of stream or an error: a peek tells which
// event it is without taking the data.
void UploadServer::on_connection_readable(int fd) {
  std::uint8_t byte = 0;
  const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n > 0) return on_read_event(fd, 0);
  if (n == 0) return on_close_event(fd, 0);
  if (errno == EINTR) return;
  const int code = platform::socket_error_code(errno);
  if (code == platform::wsa_would_block) return;
  if (code == platform::wsa_net_down) return on_read_event(fd, code);
  on_close_event(fd, code);
}

void UploadServer::on_accept_event(int error) {
  event_time_ = clock_time(clock_.local_time());
  housekeeping();
  int slot = 0;
  while (slot < max_slots && state_.connection_table[static_cast<std::size_t>(slot)].in_use) ++slot;
  if (error == platform::wsa_net_down) {
    if (settings_.raw_data_display) log(ui::texts::log_net_down_on_accept);
  } else if (state_.connection_count >= max_slots || slot == max_slots) {
    // The connection stays pending in the backlog. The listener stays readable while it
    // waits, so it is not watched until a slot frees.
    log(ui::texts::log_connections_full);
    watcher().unwatch(state_.socket.fd());
    state_.listener_paused = true;
  } else {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    platform::SocketHandle connection(::accept4(state_.socket.fd(), reinterpret_cast<sockaddr*>(&address), &length,
                                                SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!connection.valid()) {
      if (settings_.raw_data_display) log(ui::texts::log_accept_failed, platform::socket_error_text(errno).c_str());
    } else {
      ConnectionSlot& s = state_.connection_table[static_cast<std::size_t>(slot)];
      s.in_use = true;
      s.peer = peer_of(address);
      s.socket = std::move(connection);
      ++state_.connection_count;
      watcher().watch(s.socket.fd(), [this](int fd) {
        int ordinal = 0;
        for (int n = 0; n < events_per_wakeup && find_connection(fd, ordinal) >= 0 && still_readable(fd, n); ++n) {
          on_connection_readable(fd);
        }
      });
      if (settings_.raw_data_display) {
        std::string line;
        polling::append_format(line, ui::texts::log_come_in_head, state_.log_line_number, event_time_.hours,
                               event_time_.minutes, event_time_.seconds, slot + 1, state_.connection_count);
        line += address_text(s.peer.ip) + " ";
        polling::append_format(line, ui::texts::log_come_in_port, s.peer.port);
        line += ui::texts::log_come_in_end;
        add_log_line(line);
      }
    }
  }
  view_.repaint();
  housekeeping();
}

int UploadServer::find_connection(int fd, int& ordinal) const {
  ordinal = 0;
  for (int slot = 0; slot < max_slots; ++slot) {
    const ConnectionSlot& s = state_.connection_table[static_cast<std::size_t>(slot)];
    if (!s.in_use) continue;
    ++ordinal;
    if (s.socket.fd() == fd) return slot;
  }
  return -1;
}

void UploadServer::close_connection(int slot) {
  ConnectionSlot& s = state_.connection_table[static_cast<std::size_t>(slot)];
  watcher().unwatch(s.socket.fd());
  ::shutdown(s.socket.fd(), SHUT_RDWR);
  s = {};
  --state_.connection_count;
  if (state_.listener_paused) {
    state_.listener_paused = false;
    watch_listener();
  }
}

int UploadServer::receive_from_connection(int slot, std::span<std::uint8_t> buffer) {
  const int fd = state_.connection_table[static_cast<std::size_t>(slot)].socket.fd();
  for (int attempt = 1;; ++attempt) {
    const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) return receive_nothing;
    if (platform::socket_error_code(errno) != platform::wsa_would_block || attempt == receive_attempts) {
      return receive_failed;
    }
    clock_.sleep_ms(retry_pause_ms);
  }
}

void UploadServer::on_read_event(int fd, int error) {
  event_time_ = clock_time(clock_.local_time());
  housekeeping();
  int ordinal = 0;
  const int slot = find_connection(fd, ordinal);
  if (slot >= 0 && error == platform::wsa_net_down) {
    if (settings_.raw_data_display) log(ui::texts::log_net_down_on_read, ordinal);
    close_connection(slot);
  } else if (slot >= 0) {
    std::array<std::uint8_t, receive_buffer_bytes> buffer{};
    const int received = receive_from_connection(slot, buffer);
    if (received < 0) {
      if (settings_.raw_data_display) log(ui::texts::log_read_failed, slot, received);
    } else {
      const auto index = static_cast<std::size_t>(slot);
      const PeerAddress peer = state_.connection_table[index].peer;
      std::string line =
          tcp_data_head(state_.log_line_number, event_time_, ordinal, state_.connection_count, peer);
      decode_record(std::span(buffer.data(), static_cast<std::size_t>(received)), state_.slot_identities[index],
                    polling_.rows[index].record, line);
      const int row = update_summary(state_.summary, state_.slot_identities[index], peer, event_time_, view_);
      const std::optional<float> interval = append_interval(state_.intervals, row, clock_.tick_count_ms(), line);
      add_log_line(line);
      tell_listener(index, peer, interval);
    }
  }
  housekeeping();
}

void UploadServer::on_close_event(int fd, int error) {
  event_time_ = clock_time(clock_.local_time());
  housekeeping();
  int ordinal = 0;
  const int slot = find_connection(fd, ordinal);
  if (slot >= 0) {
    close_connection(slot);
    if (settings_.raw_data_display) {
      if (error == platform::wsa_net_down) {
        log(ui::texts::log_closed_on_error, slot + 1, closed_net_down);
      } else if (error == platform::wsa_connection_reset) {
        log(ui::texts::log_closed_on_error, slot + 1, closed_reset);
      } else {
        log(ui::texts::log_closed, slot + 1, error == platform::wsa_connection_aborted ? 1 : 0);
      }
    }
  }
  housekeeping();
}

int UploadServer::receive_datagram(std::span<std::uint8_t> buffer, PeerAddress& peer) {
  platform::Datagram info;
  int n = platform::receive_datagram(state_.socket.fd(), buffer, info);
  if (n < 0) {
    clock_.sleep_ms(retry_pause_ms);
    n = platform::receive_datagram(state_.socket.fd(), buffer, info);
  }
  // A datagram longer than the buffer was cut by the kernel: no record, as a long reading
  // reply is none either.
  if (n < 0 || n > static_cast<int>(buffer.size())) return receive_failed;
  if (info.destination_ip != state_.local_ip && info.destination_ip != state_.local_broadcast)
    return receive_not_for_server;
  if (n == 0) return receive_nothing;
  peer = {info.source_ip, info.source_port};
  return n;
}

void UploadServer::on_udp_read_event() {
  event_time_ = clock_time(clock_.local_time());
  housekeeping();
  std::array<std::uint8_t, receive_buffer_bytes> buffer{};
  PeerAddress peer;
  const int received = receive_datagram(buffer, peer);
  if (received == receive_not_for_server) {
    // Sent to another address of the PC: not this server's, nothing to tell.
  } else if (received < 0) {
    log(ui::texts::log_udp_read_failed, received);
  } else if (state_.connection_count >= max_slots) {
    log(ui::texts::log_connections_full);
  } else {
    // Slots are never freed while a UDP server runs: those in use are 0 .. count - 1.
    int slot = 0;
    while (slot < state_.connection_count && state_.connection_table[static_cast<std::size_t>(slot)].peer != peer) ++slot;
    const auto index = static_cast<std::size_t>(slot);
    if (slot == state_.connection_count) {
      state_.connection_table[index].in_use = true;
      state_.connection_table[index].peer = peer;
      ++state_.connection_count;
    }
    std::string line = udp_data_head(state_.log_line_number, event_time_, slot + 1, state_.connection_count, peer);
    decode_record(std::span(buffer.data(), static_cast<std::size_t>(received)), state_.slot_identities[index],
                  polling_.rows[index].record, line);
    const std::optional<float> interval = append_interval(state_.intervals, slot, clock_.tick_count_ms(), line);
    add_log_line(line);
    update_summary(state_.summary, state_.slot_identities[index], peer, event_time_, view_);
    tell_listener(index, peer, interval);
  }
  housekeeping();
}

}  // namespace server
