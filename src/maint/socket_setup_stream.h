#pragma once
// The setup port over a real TCP connection, its waits and pauses through the program's
// WaitClock (a cancelled wait counts as a failed one).
#include <cstdint>

#include "maint/setup_stream.h"
#include "platform/ipv4_address.h"
#include "platform/socket_handle.h"
#include "platform/wait_clock.h"

namespace maint {

// Codes of open_setup_connection.
constexpr int setup_socket_failed = -2;
constexpr int setup_connect_failed = -4;

class SocketSetupStream : public SetupStream {
 public:
  explicit SocketSetupStream(platform::WaitClock& clock) : clock_(clock) {}

  // Connects to ip, port 9999: 0 or a code above.
  int open(platform::Ipv4Address ip);
  // Closes the connection (the destructor does otherwise).
  void close() { socket_.reset(); }

  StreamWait wait_writable(int timeout_us) override;
  StreamWait wait_readable(int timeout_us) override;
  int send(std::span<const std::uint8_t> bytes) override;
  int receive(std::span<std::uint8_t> buffer) override;
  void sleep_ms(int milliseconds) override { clock_.sleep_ms(milliseconds); }

 private:
  platform::WaitClock& clock_;
  platform::SocketHandle socket_;
};

}  // namespace maint
