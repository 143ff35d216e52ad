#pragma once
// What the setup-port dialogue needs of its TCP connection: timed readiness waits, send,
// receive and pauses. The program's stream is a connected socket (setup_socket.h); tests
// and the fuzz target script the module's side.
#include <cstdint>
#include <span>

namespace maint {

enum class StreamWait { ready, timeout, error };

// receive() when the call would block (Windows Sockets error 10035).
constexpr int stream_would_block = -2;

class SetupStream {
 public:
  virtual ~SetupStream() = default;
  virtual StreamWait wait_writable(int timeout_us) = 0;
  virtual StreamWait wait_readable(int timeout_us) = 0;
  // Bytes sent, or -1.
  virtual int send(std::span<const std::uint8_t> bytes) = 0;
  // Bytes received (0: the peer closed), stream_would_block, or -1 for any other failure.
  virtual int receive(std::span<std::uint8_t> buffer) = 0;
  virtual void sleep_ms(int milliseconds) = 0;
};

}  // namespace maint
