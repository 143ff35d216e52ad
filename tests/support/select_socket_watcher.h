#pragma once
// A SocketWatcher for tests without an event loop: dispatch() waits with select() on the
// watched sockets and calls the handlers of those that became readable.
#include <map>

#include "ui/socket_watcher.h"

namespace test {

class SelectSocketWatcher : public ui::SocketWatcher {
 public:
  void watch(int fd, std::function<void(int fd)> on_readable) override { handlers_[fd] = std::move(on_readable); }
  void unwatch(int fd) override { handlers_.erase(fd); }

  // Waits up to timeout_ms for readiness and runs the handlers; returns how many ran.
  int dispatch(int timeout_ms);
  bool watching(int fd) const { return handlers_.count(fd) != 0; }

 private:
  std::map<int, std::function<void(int fd)>> handlers_;
};

}  // namespace test
