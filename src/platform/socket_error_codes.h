#pragma once
// The Windows Sockets error numbers that the upload log prints and branches on, and the
// errno values that stand for them here. Any other errno is reported as itself.
#include <cerrno>

namespace platform {

constexpr int wsa_would_block = 10035;
constexpr int wsa_net_down = 10050;
constexpr int wsa_connection_aborted = 10053;
constexpr int wsa_connection_reset = 10054;

constexpr int socket_error_code(int errno_value) {
  switch (errno_value) {
    case EWOULDBLOCK: return wsa_would_block;  // EAGAIN is the same value on Linux
    case ENETDOWN: return wsa_net_down;
    case ECONNABORTED: return wsa_connection_aborted;
    case ECONNRESET: return wsa_connection_reset;
    default: return errno_value;
  }
}

}  // namespace platform
