#include "ui/qt/qt_wait_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cerrno>
#include <chrono>
#include <poll.h>

#include "platform/clock.h"

namespace ui::qt {

namespace {

using Steady = std::chrono::steady_clock;

constexpr auto slice = std::chrono::milliseconds(10);

void serve_events() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::ExcludeSocketNotifiers);
}

}  // namespace

std::uint32_t QtWaitClock::tick_count_ms() { return platform::tick_count_ms(); }

std::tm QtWaitClock::local_time() { return platform::local_time(); }

platform::WaitResult QtWaitClock::wait_for(int fd, bool for_write, long long duration_us) {
  using platform::WaitResult;
  const Steady::time_point deadline = Steady::now() + std::chrono::microseconds(duration_us);
  for (;;) {
    serve_events();
    if (cancelled()) return WaitResult::cancelled;
    const Steady::duration left = deadline - Steady::now();
    const Steady::duration step = left < slice ? left : Steady::duration(slice);
    const auto step_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(step).count();
    timespec timeout{0, step_ns > 0 ? static_cast<long>(step_ns) : 0};
    pollfd entry{fd, static_cast<short>(for_write ? POLLOUT : POLLIN), 0};
    const int n = ::ppoll(&entry, fd >= 0 ? 1 : 0, &timeout, nullptr);
    if (n < 0 && errno != EINTR) return WaitResult::error;
    if (n > 0) return (entry.revents & POLLNVAL) ? WaitResult::error : WaitResult::ready;
    if (Steady::now() >= deadline) return WaitResult::timeout;
  }
}

platform::WaitResult QtWaitClock::wait_readable(int fd, long seconds, long microseconds) {
  return wait_for(fd, false, seconds * 1'000'000LL + microseconds);
}

platform::WaitResult QtWaitClock::wait_writable(int fd, long seconds, long microseconds) {
  return wait_for(fd, true, seconds * 1'000'000LL + microseconds);
}

bool QtWaitClock::sleep_ms(int milliseconds) {
  return wait_for(-1, false, milliseconds > 0 ? milliseconds * 1000LL : 0) != platform::WaitResult::cancelled;
}

}  // namespace ui::qt
