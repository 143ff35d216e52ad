#pragma once
// Socket readiness delivered on the GUI thread between commands: the window's event loop
// watches a descriptor and calls back when it can be read (for a listening socket: when a
// connection waits to be accepted).
#include <functional>

namespace ui {

class SocketWatcher {
 public:
  virtual ~SocketWatcher() = default;
  // Calls on_readable(fd) each time fd becomes readable, until unwatch(fd).
  virtual void watch(int fd, std::function<void(int fd)> on_readable) = 0;
  virtual void unwatch(int fd) = 0;
};

}  // namespace ui
