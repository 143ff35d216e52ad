#include "setup_port_responder.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

namespace sim {

namespace {

void send_text(int fd, const std::string& text) {
  if (!text.empty()) ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

}  // namespace

std::string SetupPortResponder::start() {
  std::string error;
  listener_ = open_tcp_listener({state_.config.bind, setup_port}, error);
  if (!listener_.valid()) return error;
  loop_.watch(listener_.get(), [this] { accept_session(); });
  return {};
}

void SetupPortResponder::accept_session() {
  while (true) {
    FdHandle fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.valid()) return;
    const ModuleConfig& c = state_.config;
    SetupMenuOptions options{c.setup_password, !c.no_password_prompt, c.short_menu};
    auto menu = std::make_unique<SetupMenu>(options, c.mac, state_.record[17],
                                            static_cast<std::uint16_t>(state_.record[20] | state_.record[21] << 8));
    std::fprintf(stderr, "module-emulator: setup session opened\n");
    send_text(fd.get(), menu->banner());
    const std::uint64_t id = next_session_id_++;
    const int raw = fd.get();
    sessions_[id] = Session{std::move(fd), std::move(menu)};
    loop_.watch(raw, [this, id] { read_session(id); });
  }
}

void SetupPortResponder::close_session(std::uint64_t id) {
  const auto it = sessions_.find(id);
  if (it == sessions_.end()) return;
  loop_.unwatch(it->second.fd.get());
  sessions_.erase(it);
  std::fprintf(stderr, "module-emulator: setup session closed\n");
}

void SetupPortResponder::read_session(std::uint64_t id) {
  const auto it = sessions_.find(id);
  if (it == sessions_.end()) return;
  Session& session = it->second;
  std::uint8_t buffer[512];
  const ssize_t n = ::recv(session.fd.get(), buffer, sizeof buffer, 0);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (n <= 0) {
    close_session(id);
    return;
  }
  std::string logged;
  for (ssize_t i = 0; i < n; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", buffer[i]);
    logged += hex;
  }
  std::fprintf(stderr, "module-emulator: setup received%s\n", logged.c_str());
  send_text(session.fd.get(), session.menu->type({buffer, static_cast<std::size_t>(n)}));
  if (!session.menu->ended()) return;
  if (session.menu->stored()) store(*session.menu);
  close_session(id);
}

void SetupPortResponder::store(const SetupMenu& menu) {
  ConfigurationRecord record = state_.record;
  record[17] = menu.baud_code();
  record[20] = static_cast<std::uint8_t>(menu.port() & 0xFF);
  record[21] = static_cast<std::uint8_t>(menu.port() >> 8);
  std::fprintf(stderr, "module-emulator: setup stored baud code %u port %u\n", menu.baud_code(), menu.port());
  loop_.after_ms(state_.config.restart_delay_ms, [restart = state_.restart_with, record] { restart(record); });
}

}  // namespace sim
