#pragma once
// The one clock-and-wait interface: every time reading, socket wait and sleep of the program
// goes through a WaitClock handed down from main(). The window's implementation keeps the
// event loop turning while it waits; tests use a fake clock. cancel() (Stop, the close box)
// abandons the operation in flight: the wait under way and every later one return at once,
// as cancelled, until the next operation begins.
#include <cstdint>
#include <ctime>

#include "platform/socket_wait.h"

namespace platform {

class WaitClock {
 public:
  virtual ~WaitClock() = default;

  // Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
  virtual std::uint32_t tick_count_ms() = 0;
  virtual std::tm local_time() = 0;

  // Waits until fd is readable (writable), the time-out passes, or the operation is cancelled.
  virtual WaitResult wait_readable(int fd, long seconds, long microseconds) = 0;
  virtual WaitResult wait_writable(int fd, long seconds, long microseconds) = 0;
  // False when the operation was cancelled before or during the sleep.
  virtual bool sleep_ms(int milliseconds) = 0;

  void cancel() { cancelled_ = true; }
  void begin_operation() { cancelled_ = false; }
  bool cancelled() const { return cancelled_; }

 private:
  bool cancelled_ = false;
};

// Plain waits that block the calling thread (select, sleep): for programs without a window.
class SystemWaitClock : public WaitClock {
 public:
  std::uint32_t tick_count_ms() override;
  std::tm local_time() override;
  WaitResult wait_readable(int fd, long seconds, long microseconds) override;
  WaitResult wait_writable(int fd, long seconds, long microseconds) override;
  bool sleep_ms(int milliseconds) override;
};

}  // namespace platform
