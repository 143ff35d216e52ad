#pragma once
// The socket of the Discovery-port exchanges: IPv4 UDP with SO_BROADCAST, not bound, so the
// stack picks the local port at the first send. Closing is the handle's destructor.
#include "platform/socket_handle.h"

namespace discovery {

// Code of open_broadcast_socket when no socket could be made. (-1, a socket library that
// cannot start, does not exist on Linux.)
constexpr int socket_create_failed = -2;

// Opens the broadcast socket into socket; 0 or socket_create_failed.
int open_broadcast_socket(platform::SocketHandle& socket);

}  // namespace discovery
