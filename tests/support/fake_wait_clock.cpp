#include "support/fake_wait_clock.h"

#include <poll.h>

namespace test {

namespace {

// Real readiness within grace_ms: ready, not ready, or error.
platform::WaitResult poll_for(int fd, bool for_write, int grace_ms) {
  pollfd entry{fd, static_cast<short>(for_write ? POLLOUT : POLLIN), 0};
  const int n = ::poll(&entry, 1, grace_ms);
  if (n < 0 || (n > 0 && (entry.revents & POLLNVAL))) return platform::WaitResult::error;
  return n > 0 ? platform::WaitResult::ready : platform::WaitResult::timeout;
}

}  // namespace

void FakeWaitClock::at_ms(std::uint32_t when_ms, std::function<void()> event) {
  events_.emplace(when_ms, std::move(event));
}

void FakeWaitClock::advance_ms(std::uint32_t milliseconds) { pass_until(now_ms_ + milliseconds); }

bool FakeWaitClock::pass_until(std::uint32_t deadline_ms) {
  while (!events_.empty() && events_.begin()->first <= deadline_ms) {
    auto next = events_.extract(events_.begin());
    if (next.key() > now_ms_) now_ms_ = next.key();
    next.mapped()();
    if (cancelled()) return false;
  }
  if (deadline_ms > now_ms_) now_ms_ = deadline_ms;
  return !cancelled();
}

platform::WaitResult FakeWaitClock::wait_for(int fd, bool for_write, long seconds, long microseconds) {
  if (cancelled()) return platform::WaitResult::cancelled;
  const std::uint32_t deadline_ms = now_ms_ + static_cast<std::uint32_t>(seconds * 1000 + microseconds / 1000);
  // Events due before the deadline run first, one at a time, the socket checked after each.
  for (;;) {
    const platform::WaitResult now = poll_for(fd, for_write, 0);
    if (now != platform::WaitResult::timeout) return now;
    if (events_.empty() || events_.begin()->first > deadline_ms) break;
    if (!pass_until(events_.begin()->first)) return platform::WaitResult::cancelled;
  }
  const platform::WaitResult later = poll_for(fd, for_write, real_grace_ms_);
  if (later != platform::WaitResult::timeout) return later;
  return pass_until(deadline_ms) ? platform::WaitResult::timeout : platform::WaitResult::cancelled;
}

bool FakeWaitClock::sleep_ms(int milliseconds) {
  sleeps_ms_.push_back(milliseconds);
  if (cancelled()) return false;
  return pass_until(now_ms_ + static_cast<std::uint32_t>(milliseconds > 0 ? milliseconds : 0));
}

}  // namespace test
