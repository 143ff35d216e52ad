#pragma once
// The command-line program's WaitClock: plain blocking waits that SIGINT and SIGTERM end
// at once. The signal handler only writes to a pipe; a wait that sees the pipe cancels
// the operation, so the exchange in flight returns and the program closes its sockets and
// flushes its output on the normal path.
#include "platform/socket_handle.h"
#include "platform/wait_clock.h"

namespace cli {

class StopSignalClock : public platform::WaitClock {
 public:
  // Installs the handlers of SIGINT and SIGTERM (one clock per process).
  StopSignalClock();
  ~StopSignalClock() override;
  StopSignalClock(const StopSignalClock&) = delete;
  StopSignalClock& operator=(const StopSignalClock&) = delete;

  bool ok() const { return read_end_.valid(); }
  // Readable once a stop signal arrived; for event loops that wait on it themselves.
  int stop_fd() const { return read_end_.fd(); }
  // True (and the operation cancelled) once a stop signal arrived.
  bool stop_requested();

  std::uint32_t tick_count_ms() override;
  std::tm local_time() override;
  platform::WaitResult wait_readable(int fd, long seconds, long microseconds) override;
  platform::WaitResult wait_writable(int fd, long seconds, long microseconds) override;
  bool sleep_ms(int milliseconds) override;

 private:
  platform::WaitResult wait(int fd, bool writable, long seconds, long microseconds);

  platform::SocketHandle read_end_;
  platform::SocketHandle write_end_;
};

}  // namespace cli
