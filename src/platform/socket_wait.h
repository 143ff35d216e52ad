#pragma once
// select()-based waits with the second/microsecond time-outs the protocols prescribe.

namespace platform {

// cancelled: a WaitClock wait abandoned by Stop or the close box; the plain waits never give it.
enum class WaitResult { ready, timeout, error, cancelled };

WaitResult wait_readable(int fd, long seconds, long microseconds);
WaitResult wait_writable(int fd, long seconds, long microseconds);

}  // namespace platform
