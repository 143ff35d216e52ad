#include "platform/wait_clock.h"

#include "platform/clock.h"

namespace platform {

std::uint32_t SystemWaitClock::tick_count_ms() { return platform::tick_count_ms(); }

std::tm SystemWaitClock::local_time() { return platform::local_time(); }

WaitResult SystemWaitClock::wait_readable(int fd, long seconds, long microseconds) {
  if (cancelled()) return WaitResult::cancelled;
  return platform::wait_readable(fd, seconds, microseconds);
}

WaitResult SystemWaitClock::wait_writable(int fd, long seconds, long microseconds) {
  if (cancelled()) return WaitResult::cancelled;
  return platform::wait_writable(fd, seconds, microseconds);
}

bool SystemWaitClock::sleep_ms(int milliseconds) {
  if (cancelled()) return false;
  platform::sleep_ms(milliseconds);
  return true;
}

}  // namespace platform
