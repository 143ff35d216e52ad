#include "platform/socket_wait.h"

#include <cerrno>
#include <sys/select.h>

namespace platform {

namespace {

WaitResult wait_for(int fd, bool for_write, long seconds, long microseconds) {
  if (fd < 0 || fd >= FD_SETSIZE) return WaitResult::error;
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval timeout{seconds, microseconds};
    int n = ::select(fd + 1, for_write ? nullptr : &set, for_write ? &set : nullptr, nullptr, &timeout);
    if (n > 0) return WaitResult::ready;
    if (n == 0) return WaitResult::timeout;
    if (errno != EINTR) return WaitResult::error;
  }
}

}  // namespace

WaitResult wait_readable(int fd, long seconds, long microseconds) {
  return wait_for(fd, false, seconds, microseconds);
}

WaitResult wait_writable(int fd, long seconds, long microseconds) {
  return wait_for(fd, true, seconds, microseconds);
}

}  // namespace platform
