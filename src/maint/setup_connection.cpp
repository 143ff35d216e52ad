#include "maint/setup_connection.h"

#include <algorithm>
#include <string_view>

namespace maint {

int SetupConnection::send_text(std::span<const std::uint8_t> bytes) {
  switch (stream_.wait_writable(send_wait_us)) {
    case StreamWait::error: return send_wait_failed;
    case StreamWait::timeout: return send_wait_timed_out;
    case StreamWait::ready: break;
  }
  int sent = stream_.send(bytes);
  return sent < 0 ? send_failed : sent;
}

int SetupConnection::send_text(std::string_view text) {
  return send_text(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

int SetupConnection::send_key_line(char key) {
  const std::uint8_t line[2] = {static_cast<std::uint8_t>(key), 13};
  return send_text(line);
}

int SetupConnection::send_key(std::uint8_t key) { return send_text(std::span(&key, 1)); }

int SetupConnection::receive(int size) {
  switch (stream_.wait_readable(receive_wait_us)) {
    case StreamWait::error: return receive_wait_failed;
    case StreamWait::timeout: return 0;
    case StreamWait::ready: break;
  }
  const auto wanted = static_cast<std::size_t>(std::clamp(size, 0, static_cast<int>(buffer_.size())));
  for (int attempt = 1;; ++attempt) {
    int received = stream_.receive(std::span(buffer_.data(), wanted));
    if (received >= 0) return received;
    if (received != stream_would_block || attempt == receive_attempts) return receive_failed;
    stream_.sleep_ms(would_block_pause_ms);
  }
}

bool SetupConnection::contains(int count, std::string_view pattern) const {
  if (count <= 0) return false;
  const std::string_view word = pattern.substr(0, 5);
  const std::string_view held(reinterpret_cast<const char*>(buffer_.data()),
                              std::min(static_cast<std::size_t>(count), buffer_.size()));
  return held.find(word) != std::string_view::npos;
}

}  // namespace maint
