#pragma once
// A small single-threaded event loop: poll() over watched descriptors plus one-shot timers.
// Callbacks may watch or unwatch descriptors and add timers while they run.
#include <chrono>
#include <functional>
#include <map>
#include <vector>

namespace sim {

class EventLoop {
 public:
  using Callback = std::function<void()>;

  void watch(int fd, Callback on_readable);
  void unwatch(int fd);
  void after_ms(unsigned delay_ms, Callback action);
  void stop() { running_ = false; }
  // Runs until stop(); returns 0, or the errno of a failed poll().
  int run();

 private:
  struct Watch {
    int fd;
    Callback on_readable;
  };
  using Clock = std::chrono::steady_clock;

  int poll_timeout_ms() const;
  void run_due_timers();

  std::vector<Watch> watches_;
  std::multimap<Clock::time_point, Callback> timers_;
  bool running_ = false;
};

}  // namespace sim
