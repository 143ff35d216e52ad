#include "platform/socket_handle.h"

#include <unistd.h>

namespace platform {

void SocketHandle::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
