// The virtual LAN itself: the demo's LAN answers as described, from the PC's namespace with
// plain sockets, and a tear-down that leaves nothing behind. What the emulator sends is
// checked by the product's own tests on this LAN.
#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/virtual_lan.h"

namespace test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint16_t discovery_port = 30718;
const Bytes configuration_query{0x00, 0x00, 0x00, 0xF8};

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

sockaddr_in address_of(const std::string& ip, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
  return a;
}

bool readable_within(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeout_ms) == 1;
}

struct Datagram {
  std::string source;
  std::uint16_t source_port = 0;
  Bytes bytes;
};

// A UDP socket of the namespace the calling thread is in when it is made, broadcast enabled.
class UdpClient {
 public:
  UdpClient() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const int on = 1;
    ::setsockopt(fd_.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  }
  bool send_to(const std::string& ip, std::uint16_t port, const Bytes& bytes) {
    const sockaddr_in to = address_of(ip, port);
    return ::sendto(fd_.get(), bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) ==
           static_cast<ssize_t>(bytes.size());
  }
  std::optional<Datagram> receive(int timeout_ms) {
    if (!readable_within(fd_.get(), timeout_ms)) return std::nullopt;
    std::uint8_t buffer[2048];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n = ::recvfrom(fd_.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
    if (n < 0) return std::nullopt;
    char ip[INET_ADDRSTRLEN];
    ::inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
    return Datagram{ip, ntohs(from.sin_port), Bytes(buffer, buffer + n)};
  }
  // Everything that arrives within the window.
  std::vector<Datagram> receive_all(int window_ms) {
    std::vector<Datagram> all;
    const auto end = Clock::now() + std::chrono::milliseconds(window_ms);
    while (Clock::now() < end) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (auto d = receive(static_cast<int>(std::max<long>(left, 0)))) all.push_back(*d);
    }
    return all;
  }

 private:
  Fd fd_;
};

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

LanTopology one_subnet() {
  LanTopology t;
  t.add_subnet(1, "192.168.1.10/24");
  return t;
}

// ------------------------------------------------------------------ the LAN itself

TEST(VirtualLanSetup, DemoTopologyAnswersAsDescribed) {
  VirtualLan lan(std::filesystem::path(QV_SOURCE_DIR) / "sim/demo/demo.topology");
  ASSERT_TRUE(lan.ok()) << lan.error();
  PcNamespaceScope in_pc(lan);
  UdpClient client;
  ASSERT_TRUE(client.send_to("192.168.1.255", discovery_port, configuration_query));
  std::map<std::string, Bytes> replies;
  for (const Datagram& d : client.receive_all(800)) replies[d.source] = d.bytes;
  ASSERT_EQ(replies.size(), 9u);
  for (const auto& [ip, reply] : replies) {
    SCOPED_TRACE(ip);
    ASSERT_EQ(reply.size(), 124u);
    const int port = reply[24] | reply[25] << 8;
    EXPECT_EQ(port, ip == "192.168.1.108" ? 4001 : 10050);
  }
  EXPECT_EQ(Bytes(replies["192.168.1.57"].begin() + 4, replies["192.168.1.57"].begin() + 8), Bytes(4, 0));
  EXPECT_EQ(replies["192.168.1.103"][37], 0x99);
  EXPECT_EQ(Bytes(replies["192.168.1.109"].begin() + 32, replies["192.168.1.109"].begin() + 34), (Bytes{0xC0, 0x07}));

  ASSERT_TRUE(client.send_to("192.168.5.255", discovery_port, configuration_query));
  const auto second = client.receive_all(800);
  ASSERT_EQ(second.size(), 1u) << "the module outside the PC's subnets cannot answer";
  EXPECT_EQ(second.front().source, "192.168.5.20");

  // The module at the far site answers a unicast query through the router.
  ASSERT_TRUE(client.send_to("10.77.0.20", discovery_port, configuration_query));
  const auto far = client.receive_all(800);
  ASSERT_EQ(far.size(), 1u);
  EXPECT_EQ(far.front().source, "10.77.0.20");
}

TEST(VirtualLanSetup, TearDownLeavesNothingBehind) {
  std::string prefix;
  std::vector<int> pids;
  {
    LanTopology topology = one_subnet();
    topology.add_sensor_modules(1, 2, 20);
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
      {"[module]\nport = 10050\n", "[module] without mac"},
      {"[module]\nmac = 00:20:4a:00:00:01\nport = 70000\n", "bad value for port: \"70000\""},
      {"[module]\nmac = 00:20:4a:00:00:01\nport = 30718\n", "data port 30718 collides"},
      {"[module]\nmac = 00:20:4a:00:00:01\nbind = 192.168.1.99\n", "bind 192.168.1.99:30718"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    LanTopology topology = one_subnet();
    topology.add_sensor_modules(1, 1, 20);
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
    LanTopology topology = one_subnet();
    topology.add_sensor_modules(1, 1, 20);
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
