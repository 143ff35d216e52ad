#include "platform/timed_connect.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>

namespace platform {

namespace {

ConnectResult finish_connect(WaitClock& clock, int fd, long seconds, long microseconds) {
  switch (clock.wait_writable(fd, seconds, microseconds)) {
    case WaitResult::ready: break;
    case WaitResult::timeout: return ConnectResult::timeout;
    case WaitResult::cancelled: return ConnectResult::cancelled;
    case WaitResult::error: return ConnectResult::failed;
  }
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return ConnectResult::failed;
  return ConnectResult::connected;
}

}  // namespace

ConnectResult connect_within(WaitClock& clock, int fd, const sockaddr_in& address, long seconds,
                             long microseconds) {
  if (clock.cancelled()) return ConnectResult::cancelled;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return ConnectResult::failed;
  ConnectResult result = ConnectResult::connected;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    result = errno == EINPROGRESS ? finish_connect(clock, fd, seconds, microseconds) : ConnectResult::failed;
  if (::fcntl(fd, F_SETFL, flags) != 0 && result == ConnectResult::connected) result = ConnectResult::failed;
  return result;
}

}  // namespace platform
