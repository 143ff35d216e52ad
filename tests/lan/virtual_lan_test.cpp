// The virtual LAN itself: a tear-down leaves nothing behind, whatever ends the test. What
// the emulator sends is checked by the product's own tests on this LAN.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/virtual_lan.h"

namespace test {
namespace {

using Clock = std::chrono::steady_clock;

// Every namespace name of the prefix that still exists.
std::vector<std::string> namespaces_of(const std::string& prefix) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix + "-", 0) == 0) names.push_back(name);
  }
  return names;
}

bool process_runs(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const auto paren = line.rfind(") ");
  return paren != std::string::npos && line[paren + 2] != 'Z';
}

std::vector<int> emulator_pids(const std::string& prefix) {
  std::vector<int> pids;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/run/quorvane-vlan/" + prefix, ignored)) {
    if (entry.path().extension() != ".pid") continue;
    std::ifstream file(entry.path());
    int pid = 0;
    if (file >> pid) pids.push_back(pid);
  }
  return pids;
}

TEST(VirtualLanSetup, TearDownLeavesNothingBehind) {
  std::string prefix;
  std::vector<int> pids;
  {
    LanTopology topology;
    topology.add_subnet(1, "192.168.1.10/24").add_sensor_modules(1, 2, 20);
    VirtualLan lan(topology);
    ASSERT_TRUE(lan.ok()) << lan.error();
    prefix = lan.prefix();
    pids = emulator_pids(prefix);
    EXPECT_EQ(pids.size(), 2u);
    EXPECT_EQ(namespaces_of(prefix).size(), 4u) << "switch, PC and two modules";
  }
  EXPECT_TRUE(namespaces_of(prefix).empty());
  EXPECT_FALSE(std::filesystem::exists("/run/quorvane-vlan/" + prefix));
  for (int pid : pids) EXPECT_FALSE(process_runs(pid)) << "emulator " << pid;
}

TEST(VirtualLanSetup, FailedUpReportsWhyAndLeavesNothingBehind) {
  struct Case {
    const char* config;
    const char* message;
  };
  const Case cases[] = {
      {"[module]\nmac = 00:20:4a:00:00:01\nbogus = 1\n", "unknown key \"bogus\""},
      {"[module]\nmac = 00:20:4a:00:00:01\nport = 30718\n", "data port 30718 collides"},
      {"[module]\nmac = 00:20:4a:00:00:01\nbind = 192.168.1.99\n", "bind 192.168.1.99:30718"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    LanTopology topology;
    topology.add_subnet(1, "192.168.1.10/24").add_sensor_modules(1, 1, 20);
    topology.add_module({"broken", 1, "00:20:4a:00:00:01", "192.168.1.21/24", "192.168.1.1", c.config});
    VirtualLan lan(topology);
    EXPECT_FALSE(lan.ok());
    EXPECT_NE(lan.error().find(c.message), std::string::npos) << lan.error();
    EXPECT_TRUE(namespaces_of(lan.prefix()).empty());
  }
}

TEST(VirtualLanSetup, KilledTestProcessLeavesNothingBehind) {
  int prefix_pipe[2];
  ASSERT_EQ(::pipe(prefix_pipe), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(prefix_pipe[0]);
    LanTopology topology;
    topology.add_subnet(1, "192.168.1.10/24").add_sensor_modules(1, 1, 20);
    VirtualLan lan(topology);
    const std::string prefix = lan.ok() ? lan.prefix() : std::string();
    (void)!::write(prefix_pipe[1], prefix.data(), prefix.size());
    ::close(prefix_pipe[1]);
    ::pause();  // until killed: no destructor runs
    ::_exit(0);
  }
  ::close(prefix_pipe[1]);
  char buffer[64];
  const ssize_t n = ::read(prefix_pipe[0], buffer, sizeof buffer);
  ::close(prefix_pipe[0]);
  const std::string prefix(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
  std::vector<std::string> before;
  if (!prefix.empty()) before = namespaces_of(prefix);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_FALSE(prefix.empty()) << "the child could not build its LAN";
  EXPECT_EQ(before.size(), 3u);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!namespaces_of(prefix).empty() && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(namespaces_of(prefix).empty()) << "the watchdog tears the LAN down";
}

}  // namespace
}  // namespace test
