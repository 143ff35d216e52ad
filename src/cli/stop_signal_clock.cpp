#include "cli/stop_signal_clock.h"

#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

#include "platform/clock.h"

namespace cli {

namespace {

volatile sig_atomic_t signal_write_fd = -1;

void on_stop_signal(int) {
  const int saved = errno;
  const int fd = signal_write_fd;
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

StopSignalClock::StopSignalClock() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_end_ = platform::SocketHandle(ends[0]);
  write_end_ = platform::SocketHandle(ends[1]);
  signal_write_fd = ends[1];
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

StopSignalClock::~StopSignalClock() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  signal_write_fd = -1;
}

bool StopSignalClock::stop_requested() {
  if (cancelled()) return true;
  if (wait(-1, false, 0, 0) == platform::WaitResult::cancelled) return true;
  return false;
}

std::uint32_t StopSignalClock::tick_count_ms() { return platform::tick_count_ms(); }

std::tm StopSignalClock::local_time() { return platform::local_time(); }

platform::WaitResult StopSignalClock::wait_readable(int fd, long seconds, long microseconds) {
  return wait(fd, false, seconds, microseconds);
}

platform::WaitResult StopSignalClock::wait_writable(int fd, long seconds, long microseconds) {
  return wait(fd, true, seconds, microseconds);
}

bool StopSignalClock::sleep_ms(int milliseconds) {
  return wait(-1, false, milliseconds / 1000, (milliseconds % 1000) * 1000L) != platform::WaitResult::cancelled;
}

// select() on fd (none when -1) and the signal pipe; a signal arriving during select
// interrupts it and the pipe is then readable.
platform::WaitResult StopSignalClock::wait(int fd, bool writable, long seconds, long microseconds) {
  if (cancelled()) return platform::WaitResult::cancelled;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds) +
                        std::chrono::microseconds(microseconds);
  timeval timeout{seconds, microseconds};
  for (;;) {
    fd_set reads, writes;
    FD_ZERO(&reads);
    FD_ZERO(&writes);
    const int stop = read_end_.fd();
    if (stop >= 0) FD_SET(stop, &reads);
    if (fd >= 0) FD_SET(fd, writable ? &writes : &reads);
    const int n = ::select((fd > stop ? fd : stop) + 1, &reads, &writes, nullptr, &timeout);
    if (n < 0 && errno == EINTR) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
      const long left_us = left.count() > 0 ? static_cast<long>(left.count()) : 0;
      timeout = {left_us / 1000000, left_us % 1000000};
      continue;
    }
    if (n < 0) return platform::WaitResult::error;
    if (stop >= 0 && FD_ISSET(stop, &reads)) {
      cancel();
      return platform::WaitResult::cancelled;
    }
    return n == 0 ? platform::WaitResult::timeout : platform::WaitResult::ready;
  }
}

}  // namespace cli
