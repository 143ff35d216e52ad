#include "support/select_socket_watcher.h"

#include <sys/select.h>

#include <vector>

namespace test {

int SelectSocketWatcher::dispatch(int timeout_ms) {
  fd_set readable;
  FD_ZERO(&readable);
  int highest = -1;
  for (const auto& [fd, handler] : handlers_) {
    FD_SET(fd, &readable);
    if (fd > highest) highest = fd;
  }
  timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  if (select(highest + 1, &readable, nullptr, nullptr, &timeout) <= 0) return 0;
  std::vector<int> ready;
  for (const auto& [fd, handler] : handlers_) {
    if (FD_ISSET(fd, &readable)) ready.push_back(fd);
  }
  int ran = 0;
  for (int fd : ready) {
    // A handler may unwatch other sockets; only those still watched run.
    auto it = handlers_.find(fd);
    if (it == handlers_.end()) continue;
    auto handler = it->second;
    handler(fd);
    ++ran;
  }
  return ran;
}

}  // namespace test
