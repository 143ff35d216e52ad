// The virtual LAN and the module emulator, checked from the PC's namespace with plain sockets:
// discovery replies byte by byte, and a tear-down that leaves nothing behind. The data
// port, SNMP, the fault options and the ARP of a module outside the subnet are checked by
// the product's own tests on this LAN.
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
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/virtual_lan.h"

namespace test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint16_t discovery_port = 30718;
constexpr std::uint16_t data_port = 10050;
constexpr std::uint16_t snmp_port = 161;
const Bytes device_query{0x00, 0x00, 0x00, 0xF6};
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
  // The one reply to a request, or nothing within the time-out.
  std::optional<Bytes> exchange(const std::string& ip, std::uint16_t port, const Bytes& request, int timeout_ms = 500) {
    if (!send_to(ip, port, request)) return std::nullopt;
    auto d = receive(timeout_ms);
    return d ? std::optional<Bytes>(d->bytes) : std::nullopt;
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

// ------------------------------------------------------------------ discovery

TEST(VirtualLanDiscovery, BroadcastDeviceQueryIsAnsweredOnceByEachModule) {
  LanTopology topology = one_subnet();
  topology.add_sensor_modules(1, 3, 20);
  // Bound to its address, this one sees broadcasts only through its packet socket.
  topology.add_module({"wifi", 1, "00:20:4a:77:88:99", "192.168.1.30/24", "192.168.1.1",
                       sensor_module_config("00:20:4a:77:88:99", "192.168.1.30", "192.168.1.1",
                                            "device_type = W8\nbind = 192.168.1.30")});
  VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  PcNamespaceScope in_pc(lan);
  ASSERT_TRUE(in_pc.ok()) << in_pc.error();

  UdpClient client;
  ASSERT_TRUE(client.send_to("192.168.1.255", discovery_port, device_query));
  std::map<std::string, std::vector<Bytes>> by_source;
  for (const Datagram& d : client.receive_all(800)) {
    EXPECT_EQ(d.source_port, discovery_port);
    by_source[d.source].push_back(d.bytes);
  }

  struct Expected {
    std::string ip;
    std::string type;
    Bytes mac;
  };
  const Expected expected[] = {{"192.168.1.20", "Q8", {0x00, 0x20, 0x4a, 0x01, 0x00, 0x14}},
                               {"192.168.1.21", "Q8", {0x00, 0x20, 0x4a, 0x01, 0x00, 0x15}},
                               {"192.168.1.22", "Q8", {0x00, 0x20, 0x4a, 0x01, 0x00, 0x16}},
                               {"192.168.1.30", "W8", {0x00, 0x20, 0x4a, 0x77, 0x88, 0x99}}};
  EXPECT_EQ(by_source.size(), std::size(expected));
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.ip);
    ASSERT_EQ(by_source[e.ip].size(), 1u) << "each module answers a broadcast exactly once";
    const Bytes& reply = by_source[e.ip].front();
    ASSERT_EQ(reply.size(), 30u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), (Bytes{0x00, 0x00, 0x00, 0xF7}));
    EXPECT_EQ(std::string(reply.begin() + 8, reply.begin() + 10), e.type);
    EXPECT_EQ(Bytes(reply.begin() + 24, reply.end()), e.mac);
  }
}

TEST(VirtualLanDiscovery, ConfigurationReplyCarriesEveryNamedField) {
  LanTopology topology = one_subnet();
  topology.add_module({"full", 1, "00:20:4a:12:34:56", "192.168.1.20/24", "192.168.1.1",
                       "[module]\n"
                       "mac = 00:20:4a:12:34:56\n"
                       "ip = 192.168.1.20\nhost_bits = 8\ngateway = 192.168.1.1\nbaud_code = 9\n"
                       "port = 10050\nserver_port = 8005\nserver_ip = 192.168.1.10\nwork_mode = AUDP\n"
                       "firmware_level = 0x31\nsnmp_byte = 0x99\nmodule_code = 0x1234\nupload_interval = 2\n"
                       "server_by_name = 0x10\ndns_ip = 192.168.1.2\nserver_name = up.lan\n"
                       "record_bytes = 50:AB cd\n"});
  topology.add_module({"dynamic", 1, "00:20:4a:00:00:57", "192.168.1.57/24", "192.168.1.1",
                       "[module]\nmac = 00:20:4a:00:00:57\nip = 0.0.0.0\nmode_bytes = C0 07\nport = 4001\n"});
  VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  PcNamespaceScope in_pc(lan);
  UdpClient client;

  const auto full = client.exchange("192.168.1.20", discovery_port, configuration_query);
  ASSERT_TRUE(full.has_value());
  ASSERT_EQ(full->size(), 124u);
  struct Field {
    const char* name;
    std::size_t offset;  // in the datagram: record offset + 4
    Bytes bytes;
  };
  const Field fields[] = {
      {"command", 0, {0x00, 0x00, 0x00, 0xF9}},
      {"ip", 4, {192, 168, 1, 20}},
      {"host_bits", 10, {8}},
      {"gateway", 16, {192, 168, 1, 1}},
      {"baud_code", 21, {9}},
      {"port, low byte first", 24, {0x42, 0x27}},
      {"server_port, low byte first", 26, {0x45, 0x1F}},
      {"server_ip", 28, {192, 168, 1, 10}},
      {"work-mode bytes", 32, {0xCC, 0x03}},
      {"firmware_level", 36, {0x31}},
      {"snmp_byte", 37, {0x99}},
      {"module_code, high byte first", 40, {0x12, 0x34}},
      {"upload_interval", 42, {2}},
      {"server_by_name", 43, {0x10}},
      {"dns_ip", 70, {192, 168, 1, 2}},
      {"server_name", 74, {'u', 'p', '.', 'l', 'a', 'n', 0, 0}},
      {"record_bytes", 54, {0xAB, 0xCD}},
      {"unnamed bytes before the patch stay zero", 44, Bytes(10, 0)},
      {"unnamed bytes after the patch stay zero", 56, Bytes(14, 0)},
  };
  for (const Field& f : fields) {
    EXPECT_EQ(Bytes(full->begin() + f.offset, full->begin() + f.offset + f.bytes.size()), f.bytes) << f.name;
  }

  const auto dynamic = client.exchange("192.168.1.57", discovery_port, configuration_query);
  ASSERT_TRUE(dynamic.has_value());
  ASSERT_EQ(dynamic->size(), 124u);
  EXPECT_EQ(Bytes(dynamic->begin() + 4, dynamic->begin() + 8), Bytes(4, 0)) << "record IP 0.0.0.0";
  EXPECT_EQ(Bytes(dynamic->begin() + 32, dynamic->begin() + 34), (Bytes{0xC0, 0x07}));
  EXPECT_EQ(Bytes(dynamic->begin() + 24, dynamic->begin() + 26), (Bytes{0xA1, 0x0F})) << "port 4001";
}

TEST(VirtualLanDiscovery, ReplyDelayPostponesTheAnswer) {
  LanTopology topology = one_subnet();
  topology.add_sensor_modules(1, 1, 20, "reply_delay_ms = 400");
  VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  PcNamespaceScope in_pc(lan);
  UdpClient client;
  const auto sent = Clock::now();
  ASSERT_TRUE(client.send_to("192.168.1.20", discovery_port, device_query));
  EXPECT_FALSE(client.receive(300).has_value());
  ASSERT_TRUE(client.receive(1000).has_value());
  EXPECT_GE(Clock::now() - sent, std::chrono::milliseconds(400));
}

// ------------------------------------------------------------------ the LAN itself

TEST(VirtualLanSetup, ThirtyThreeModulesComeUpQuicklyAndAllAnswer) {
  LanTopology topology = one_subnet();
  topology.add_sensor_modules(1, 33, 100);
  VirtualLan lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();
  std::printf("33 modules up in %lld ms\n", static_cast<long long>(lan.up_time().count()));
  EXPECT_LT(lan.up_time(), std::chrono::seconds(20));

  PcNamespaceScope in_pc(lan);
  UdpClient client;
  ASSERT_TRUE(client.send_to("192.168.1.255", discovery_port, configuration_query));
  std::set<std::string> sources;
  for (const Datagram& d : client.receive_all(1000)) {
    if (d.bytes.size() == 124) sources.insert(d.source);
  }
  EXPECT_EQ(sources.size(), 33u);
}

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
