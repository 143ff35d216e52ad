#pragma once
// The Windows Sockets error numbers that the upload log prints and branches on, and the
// errno values that stand for them here. Any other errno is reported as itself.
#include <cerrno>
#include <string>

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

// An error as a log prints it: the Windows Sockets number where one stands for the errno
// ("10054"), else the errno with its name, so the line stays readable ("24 (EMFILE)").
std::string socket_error_text(int errno_value);

}  // namespace platform
