#include "discovery/discovery_socket.h"

#include <utility>

#include "platform/udp_socket.h"

namespace discovery {

int open_broadcast_socket(platform::SocketHandle& socket) {
  platform::SocketHandle opened = platform::open_udp_socket();
  // A socket that cannot broadcast is of no use for the search: count it as not created.
  if (!opened.valid() || !platform::enable_broadcast(opened.fd())) return socket_create_failed;
  socket = std::move(opened);
  return 0;
}

}  // namespace discovery
