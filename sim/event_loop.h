#pragma once
// A small single-threaded event loop: poll() over watched descriptors plus one-shot timers.
// Callbacks may watch or unwatch descriptors and add timers while they run.
// Every watch and timer belongs to the scope that was current when it was made (a callback
// runs in the scope of its watch or timer), so a module that restarts drops all of its old
// handlers' watches and timers at once with drop_scope().
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
  // A scope not used before; 0 is the loop's own.
  int new_scope() { return ++last_scope_; }
  int current_scope() const { return current_scope_; }
  void set_current_scope(int scope) { current_scope_ = scope; }
  void drop_scope(int scope);
  // Runs until stop(); returns 0, or the errno of a failed poll().
  int run();

 private:
  struct Watch {
    int fd;
    Callback on_readable;
    int scope;
  };
  struct Timer {
    Callback action;
    int scope;
  };
  using Clock = std::chrono::steady_clock;

  int poll_timeout_ms() const;
  void run_due_timers();

  std::vector<Watch> watches_;
  std::multimap<Clock::time_point, Timer> timers_;
  bool running_ = false;
  int current_scope_ = 0;
  int last_scope_ = 0;
};

}  // namespace sim
