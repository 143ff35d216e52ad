#include "active_uploader.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "reading_frames.h"
#include "sockets.h"

namespace sim {
namespace {

constexpr std::array<std::uint8_t, 2> atcp_mode_bytes{0xC0, 0x04};
constexpr std::array<std::uint8_t, 2> audp_mode_bytes{0xCC, 0x03};
constexpr unsigned seconds_per_interval_step = 5;
constexpr unsigned connect_check_ms = 10;

void append_hex(std::string& text, std::uint8_t byte, bool lower_case) {
  char digits[3];
  std::snprintf(digits, sizeof digits, lower_case ? "%02x" : "%02X", byte);
  text += digits;
}

}  // namespace

bool active_upload_mode(const ModuleConfig& c) { return c.mode_bytes == atcp_mode_bytes || c.mode_bytes == audp_mode_bytes; }

bool uploads_over_tcp(const ModuleConfig& c) { return c.mode_bytes == atcp_mode_bytes; }

unsigned upload_period_ms(const ModuleConfig& c) {
  if (c.upload_interval_ms != 0) return c.upload_interval_ms;
  return (c.upload_interval * seconds_per_interval_step + seconds_per_interval_step) * 1000;
}

std::vector<std::uint8_t> encode_upload_record(const ModuleConfig& c) {
  std::string text;
  for (std::uint8_t byte : c.mac) append_hex(text, byte, false);
  append_hex(text, static_cast<std::uint8_t>(c.module_code >> 8), false);
  append_hex(text, static_cast<std::uint8_t>(c.module_code & 0xFF), false);
  for (std::uint8_t byte : encode_temperature(c.temperature_c)) append_hex(text, byte, c.lower_case_hex);
  for (std::uint8_t byte : encode_humidity(c.humidity_percent)) append_hex(text, byte, c.lower_case_hex);
  append_hex(text, c.digital_inputs, c.lower_case_hex);
  return {text.begin(), text.end()};
}

std::string ActiveUploader::start() {
  if (!uploads_over_tcp(state_.config)) {
    std::string error;
    socket_ = open_udp_socket({state_.config.bind, 0}, error);
    if (!socket_.valid()) return "active upload: " + error;
    // A module may be set to upload to its subnet's broadcast address.
    const int on = 1;
    if (::setsockopt(socket_.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
      return "active upload: SO_BROADCAST refused";
  }
  loop_.after_ms(0, [this] { on_period(); });
  return {};
}

void ActiveUploader::on_period() {
  loop_.after_ms(upload_period_ms(state_.config), [this] { on_period(); });
  if (uploads_over_tcp(state_.config) && !connected_) {
    open_connection();  // the record follows once the connect completes
  } else {
    send_record();
  }
}

void ActiveUploader::open_connection() {
  drop_connection();  // a connect still pending from the last period is given up
  const unsigned attempt = ++attempt_;
  FdHandle fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const sockaddr_in local = to_sockaddr({state_.config.bind, 0});
  const sockaddr_in to = to_sockaddr({state_.config.server_ip, state_.config.server_port});
  if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return;
  // Refused at once: the next period tries again.
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) return;
  socket_ = std::move(fd);
  loop_.after_ms(0, [this, attempt] { check_connect(attempt); });
}

void ActiveUploader::check_connect(unsigned attempt) {
  if (attempt != attempt_ || !socket_.valid() || connected_) return;
  pollfd p{socket_.get(), POLLOUT, 0};
  if (::poll(&p, 1, 0) == 0) {
    loop_.after_ms(connect_check_ms, [this, attempt] { check_connect(attempt); });
    return;
  }
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
    drop_connection();
    return;
  }
  connected_ = true;
  loop_.watch(socket_.get(), [this] { on_connection_readable(); });
  send_record();
}

// The receiver never speaks; readable means it closed or reset the connection.
void ActiveUploader::on_connection_readable() {
  char buffer[256];
  const ssize_t n = ::recv(socket_.get(), buffer, sizeof buffer, MSG_DONTWAIT);
  if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR))) return;
  drop_connection();
}

void ActiveUploader::drop_connection() {
  if (socket_.valid()) loop_.unwatch(socket_.get());
  socket_.reset();
  connected_ = false;
}

void ActiveUploader::send_record() {
  const std::vector<std::uint8_t> record = encode_upload_record(state_.config);
  const ModuleConfig& c = state_.config;
  if (!uploads_over_tcp(c)) {
    send_datagram(socket_.get(), {c.server_ip, c.server_port}, record);
  } else if (::send(socket_.get(), record.data(), record.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) {
    drop_connection();
  }
}

}  // namespace sim
