#include "data_port_responder.h"

#include <sys/socket.h>

#include <cerrno>

#include "reading_frames.h"

namespace sim {
namespace {

constexpr std::size_t max_line_bytes = 256;  // a longer line is noise: dropped

}  // namespace

std::string DataPortResponder::start() {
  const Endpoint local{state_.config.bind, state_.config.port};
  if (local.port == discovery_port || (local.port == snmp_port && state_.config.snmp_mode())) {
    return "data port " + std::to_string(local.port) + " collides with another protocol of the module";
  }
  std::string error;
  udp_ = open_udp_socket(local, error);
  if (!udp_.valid()) return error;
  loop_.watch(udp_.get(), [this] {
    ReceivedDatagram d;
    while (receive_datagram(udp_.get(), d)) on_udp_datagram(d);
  });
  if (state_.config.refuse_tcp) return {};
  listener_ = open_tcp_listener(local, error);
  if (!listener_.valid()) return error;
  loop_.watch(listener_.get(), [this] { accept_connection(); });
  return {};
}

std::vector<std::uint8_t> DataPortResponder::answer(std::span<const std::uint8_t> request) {
  const auto parsed = parse_reading_request(request);
  if (!parsed) return {};
  if (parsed->kind == ReadingRequest::extended && !answers_extended_reading(state_.config)) return {};
  if (!state_.admit_data_request()) return {};
  return encode_reading_reply(*parsed, state_.config);
}

void DataPortResponder::on_udp_datagram(const ReceivedDatagram& d) {
  auto reply = answer(d.payload);
  if (reply.empty()) return;
  if (state_.config.empty_udp_reply) reply.clear();
  loop_.after_ms(state_.config.reply_delay_ms, [this, to = d.source, reply = std::move(reply)] {
    if (state_.config.oversize_before_reply) {
      auto longer = reply;
      longer.push_back('X');
      send_datagram(udp_.get(), to, longer);
    }
    send_datagram(udp_.get(), to, reply);
  });
}

void DataPortResponder::accept_connection() {
  while (true) {
    FdHandle fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.valid()) return;
    const std::uint64_t id = next_connection_id_++;
    const int raw = fd.get();
    if (state_.config.half_close_tcp) ::shutdown(raw, SHUT_WR);
    connections_[id] = Connection{std::move(fd), {}};
    loop_.watch(raw, [this, id] { read_connection(id); });
  }
}

void DataPortResponder::close_connection(std::uint64_t id) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  loop_.unwatch(it->second.fd.get());
  connections_.erase(it);
}

void DataPortResponder::read_connection(std::uint64_t id) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  Connection& connection = it->second;
  char buffer[512];
  const ssize_t n = ::recv(connection.fd.get(), buffer, sizeof buffer, 0);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (n <= 0) {
    close_connection(id);
    return;
  }
  connection.pending.append(buffer, static_cast<std::size_t>(n));
  std::size_t eol;
  while ((eol = connection.pending.find('\n')) != std::string::npos) {
    const std::string line = connection.pending.substr(0, eol + 1);
    connection.pending.erase(0, eol + 1);
    auto reply = answer({reinterpret_cast<const std::uint8_t*>(line.data()), line.size()});
    if (reply.empty() || state_.config.half_close_tcp) continue;
    loop_.after_ms(state_.config.reply_delay_ms, [this, id, reply = std::move(reply)] {
      const auto c = connections_.find(id);
      if (c != connections_.end() && ::send(c->second.fd.get(), reply.data(), reply.size(), MSG_NOSIGNAL) < 0) {
        close_connection(id);  // the peer is gone
      }
    });
  }
  if (connection.pending.size() > max_line_bytes) connection.pending.clear();
}

}  // namespace sim
