#pragma once
// The primitives of the module's setup port (TCP 9999) over one stream: sends that wait
// 2 ms for the socket to take them, receives that wait 0.5 s into one shared buffer, and
// the test whether the last receive holds a word.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "maint/setup_stream.h"

namespace maint {

constexpr std::uint16_t setup_port = 9999;
constexpr std::size_t setup_buffer_bytes = 1500;
constexpr int send_wait_us = 2000;
constexpr int receive_wait_us = 500000;
constexpr int would_block_pause_ms = 25;
constexpr int receive_attempts = 3;

// Codes of the sends.
constexpr int send_wait_failed = -1;
constexpr int send_wait_timed_out = -2;
constexpr int send_failed = -3;
// Codes of receive.
constexpr int receive_wait_failed = -4;
constexpr int receive_failed = -7;

class SetupConnection {
 public:
  explicit SetupConnection(SetupStream& stream) : stream_(stream) {}

  // Each returns the byte count or a send code.
  int send_text(std::span<const std::uint8_t> bytes);
  int send_text(std::string_view text);
  int send_key_line(char key);  // the key and a carriage return
  int send_key(std::uint8_t key);

  // Up to size bytes (at most the buffer) into the buffer's start: the count, 0 after a
  // silent wait or a closed peer, or a receive code.
  int receive(int size);
  // True when the first count bytes of the buffer hold the first five characters of pattern.
  bool contains(int count, std::string_view pattern) const;

  void sleep_ms(int milliseconds) { stream_.sleep_ms(milliseconds); }

 private:
  SetupStream& stream_;
  std::array<std::uint8_t, setup_buffer_bytes> buffer_{};
};

}  // namespace maint
