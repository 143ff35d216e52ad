#pragma once
// A fake clock for tests: time moves only when the code waits. A socket wait returns ready
// when the socket becomes ready within a short real grace (the peer is on loopback or in a
// namespace), else its whole time-out passes at once. Events scheduled with at_ms() run
// inside the wait that passes their time, as the window's event loop runs a button press
// during an operation; an event may cancel() the operation.
#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <vector>

#include "platform/wait_clock.h"

namespace test {

// A local time as the C library holds it, from its calendar figures.
inline std::tm local_time(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

class FakeWaitClock : public platform::WaitClock {
 public:
  explicit FakeWaitClock(std::uint32_t start_ms = 1'000'000, int real_grace_ms = 200)
      : now_ms_(start_ms), real_grace_ms_(real_grace_ms) {}

  std::uint32_t tick_count_ms() override { return now_ms_; }
  std::tm local_time() override { return local_time_; }
  platform::WaitResult wait_readable(int fd, long seconds, long microseconds) override {
    return wait_for(fd, false, seconds, microseconds);
  }
  platform::WaitResult wait_writable(int fd, long seconds, long microseconds) override {
    return wait_for(fd, true, seconds, microseconds);
  }
  bool sleep_ms(int milliseconds) override;

  // Runs event when the clock reaches when_ms (absolute, as tick_count_ms() reads).
  void at_ms(std::uint32_t when_ms, std::function<void()> event);
  void set_local_time(const std::tm& time) { local_time_ = time; }
  void advance_ms(std::uint32_t milliseconds);
  // Sets the reading, backwards too, without running events.
  void set_now_ms(std::uint32_t now_ms) { now_ms_ = now_ms; }

  // Every sleep asked for, in order, cancelled ones included.
  const std::vector<int>& sleeps_ms() const { return sleeps_ms_; }

 private:
  platform::WaitResult wait_for(int fd, bool for_write, long seconds, long microseconds);
  // Moves the clock towards deadline_ms, running the events due on the way; false when an
  // event cancelled the operation.
  bool pass_until(std::uint32_t deadline_ms);

  std::uint32_t now_ms_;
  int real_grace_ms_;
  std::tm local_time_{};
  std::multimap<std::uint32_t, std::function<void()>> events_;
  std::vector<int> sleeps_ms_;
};

}  // namespace test
