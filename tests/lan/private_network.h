#pragma once
// A network namespace private to one test thread, so nothing reaches the host's interfaces,
// and the thread's own right to raw sockets and capture.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace test {

// Runs body on a thread in a new network namespace whose loopback is up, after the setup
// commands; body does not run when the namespace or a command fails.
inline void in_private_network(const std::vector<std::string>& setup, const std::function<void()>& body) {
  bool ready = false;
  std::thread worker([&] {
    if (::unshare(CLONE_NEWNET) != 0 || std::system("ip link set lo up >/dev/null 2>&1") != 0) return;
    for (const std::string& command : setup)
      if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return;
    ready = true;
    body();
  });
  worker.join();
  EXPECT_TRUE(ready) << "these tests need a network namespace of their own and iproute2 (run as root)";
}

// Drops CAP_NET_RAW from the calling thread's effective capabilities (they are per thread).
inline bool drop_raw_right() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (::syscall(SYS_capget, &header, data) != 0) return false;
  data[CAP_NET_RAW / 32].effective &= ~(1u << (CAP_NET_RAW % 32));
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace test
