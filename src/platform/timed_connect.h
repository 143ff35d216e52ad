#pragma once
// Connects a TCP socket without blocking past a deadline, so a host that drops SYNs costs
// the time-out and no more. The socket is blocking again afterwards, as the exchanges expect.
#include <netinet/in.h>

#include "platform/wait_clock.h"

namespace platform {

enum class ConnectResult { connected, failed, timeout, cancelled };

// Three seconds where the exchange names no connect time-out of its own.
constexpr long default_connect_wait_s = 3;

ConnectResult connect_within(WaitClock& clock, int fd, const sockaddr_in& address, long seconds,
                             long microseconds);

}  // namespace platform
