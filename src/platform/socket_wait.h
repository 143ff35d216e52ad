#pragma once
// select()-based waits with the second/microsecond time-outs the protocols prescribe.

namespace platform {

enum class WaitResult { ready, timeout, error };

WaitResult wait_readable(int fd, long seconds, long microseconds);
WaitResult wait_writable(int fd, long seconds, long microseconds);

}  // namespace platform
