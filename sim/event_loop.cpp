#include "event_loop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace sim {

void EventLoop::watch(int fd, Callback on_readable) {
  unwatch(fd);
  watches_.push_back({fd, std::move(on_readable), current_scope_});
}

void EventLoop::unwatch(int fd) {
  std::erase_if(watches_, [fd](const Watch& w) { return w.fd == fd; });
}

void EventLoop::after_ms(unsigned delay_ms, Callback action) {
  timers_.emplace(Clock::now() + std::chrono::milliseconds(delay_ms), Timer{std::move(action), current_scope_});
}

void EventLoop::drop_scope(int scope) {
  std::erase_if(watches_, [scope](const Watch& w) { return w.scope == scope; });
  std::erase_if(timers_, [scope](const auto& t) { return t.second.scope == scope; });
}

int EventLoop::poll_timeout_ms() const {
  if (timers_.empty()) return -1;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(timers_.begin()->first - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

void EventLoop::run_due_timers() {
  while (running_ && !timers_.empty() && timers_.begin()->first <= Clock::now()) {
    Timer timer = std::move(timers_.begin()->second);
    timers_.erase(timers_.begin());
    current_scope_ = timer.scope;
    timer.action();
    current_scope_ = 0;
  }
}

int EventLoop::run() {
  running_ = true;
  while (running_) {
    std::vector<pollfd> fds;
    for (const Watch& w : watches_) fds.push_back({w.fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), poll_timeout_ms()) < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (const pollfd& p : fds) {
      if (!running_) break;
      if ((p.revents & (POLLIN | POLLERR | POLLHUP)) == 0) continue;
      // Look the descriptor up again: an earlier callback may have unwatched it.
      const auto it = std::find_if(watches_.begin(), watches_.end(), [&](const Watch& w) { return w.fd == p.fd; });
      if (it == watches_.end()) continue;
      Callback on_readable = it->on_readable;  // the vector may grow while it runs
      current_scope_ = it->scope;
      on_readable();
      current_scope_ = 0;
    }
    run_due_timers();
  }
  return 0;
}

}  // namespace sim
