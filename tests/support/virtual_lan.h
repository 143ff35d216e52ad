#pragma once
// The virtual LAN of the LAN tests: a switch namespace with one bridge per subnet, a PC
// namespace with one adapter (lanID) per subnet, and one namespace per emulated module with
// its MAC, address and gateway, each running module-emulator; with routers, also the
// virtual Internet of scripts/vlan behind them. Built by scripts/vlan under a
// prefix unique to the run; torn down by the destructor, and by a watchdog process if the
// test process dies first. Needs root; a test that gets !ok() fails with error().
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace test {

struct LanSubnet {
  int id = 1;                             // 1..99: the PC's adapter lanID and the bridge brID
  std::vector<std::string> pc_addresses;  // "192.168.1.10/24"
};

struct LanModule {
  std::string name;         // letters, digits, '_': the namespace PREFIX-m-NAME
  int subnet_id = 1;
  std::string mac;          // of the module's interface, "00:20:4a:12:34:56"
  std::string address;      // of the module's interface, "192.168.1.20/24"
  std::string gateway;      // its default route, or "-" for none
  std::string config_text;  // the module-emulator config ([module] section); empty: just a kernel (echo only)
};

// A leg of the router on a subnet: the PC's way out from that subnet. Behind an internet
// leg lie the what-is-my-address sites; an unreachable leg answers "network unreachable"
// to everything it would have to forward.
enum class RouterKind { internet, unreachable };

struct LanRouter {
  int subnet_id = 1;
  std::string address;  // the leg's address, "192.168.1.1/24"
  RouterKind kind = RouterKind::internet;
};

// A subnet the PC has no address on, behind the router's leg `router_address`: its modules
// are reached through the router only. Needs a router line.
struct LanFarSubnet {
  int id = 50;
  std::string router_address;  // "10.77.0.1/24"
};

struct LanTopology {
  LanTopology() = default;
  // The PC at `pc_address` on subnet 1.
  explicit LanTopology(const std::string& pc_address) { add_subnet(1, pc_address); }

  std::vector<LanSubnet> subnets;
  std::vector<LanModule> modules;
  std::vector<LanRouter> routers;
  std::vector<LanFarSubnet> far_subnets;

  // Adds the address to subnet `id`, creating the subnet on first use.
  LanTopology& add_subnet(int id, const std::string& pc_address);
  LanTopology& add_module(LanModule module);
  // A sensor module (TCP, port 10050, 57600 baud, mask /24, device type Q8) at `ip` on subnet
  // `id`, its default route `gateway` ("-" for none); `extra_config` lines are appended to its
  // module-emulator config (later keys win).
  LanTopology& add_sensor_module(const std::string& name, int subnet_id, const std::string& mac,
                                 const std::string& ip, const std::string& gateway,
                                 const std::string& extra_config = "");
  // `count` such modules on subnet `id`, a /24 whose network is taken from the subnet's first
  // PC address: hosts first_host, first_host + 1, ..., gateway .1, names s<id>h<host>, MACs
  // 00:20:4a:<id>:00:<host>.
  LanTopology& add_sensor_modules(int subnet_id, int count, int first_host = 100,
                                  const std::string& extra_config = "");
};

// The config text of add_sensor_module's module, its gateway given as an address.
std::string sensor_module_config(const std::string& mac, const std::string& ip, const std::string& gateway,
                                 const std::string& extra_config = "");

class VirtualLan {
 public:
  explicit VirtualLan(const LanTopology& topology);
  // From a topology file in scripts/vlan's format (configs relative to it), e.g. the demo.
  explicit VirtualLan(const std::filesystem::path& topology_file);
  ~VirtualLan();
  VirtualLan(const VirtualLan&) = delete;
  VirtualLan& operator=(const VirtualLan&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& prefix() const { return prefix_; }
  std::string pc_namespace() const { return prefix_ + "-pc"; }
  std::string module_namespace(const std::string& module_name) const { return prefix_ + "-m-" + module_name; }
  // What the module's emulator printed.
  std::string emulator_log(const std::string& module_name) const;
  // How many times its emulator printed `text`.
  int emulator_logged_count(const std::string& module_name, const std::string& text) const;
  // Waits up to 5 s for its emulator to print `text`.
  bool emulator_logs(const std::string& module_name, const std::string& text) const;

 private:
  bool prepare_work_dir();
  void build(const std::filesystem::path& topology_file);
  void start_watchdog();

  std::string error_;
  std::string prefix_;
  std::filesystem::path work_dir_;
  int watchdog_fd_ = -1;
  int watchdog_pid_ = -1;
};

// Moves the calling thread into a named network namespace (/run/netns/NAME) and back on
// destruction. Sockets made inside keep that namespace after the scope ends.
class NamespaceScope {
 public:
  explicit NamespaceScope(const std::string& netns_name);
  ~NamespaceScope();
  NamespaceScope(const NamespaceScope&) = delete;
  NamespaceScope& operator=(const NamespaceScope&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

 private:
  int original_fd_ = -1;
  std::string error_;
};

// The calling thread in the PC's namespace: the product code under test makes its sockets here.
class PcNamespaceScope : public NamespaceScope {
 public:
  explicit PcNamespaceScope(const VirtualLan& lan) : NamespaceScope(lan.pc_namespace()) {}
};

// A virtual LAN with the calling thread in its PC's namespace while it lives.
class VirtualLanAtPc : public VirtualLan {
 public:
  template <typename Topology>
  explicit VirtualLanAtPc(const Topology& topology) : VirtualLan(topology), pc_(pc_namespace()) {}
  bool ok() const { return VirtualLan::ok() && pc_.ok(); }
  const std::string& error() const { return VirtualLan::ok() ? pc_.error() : VirtualLan::error(); }

 private:
  NamespaceScope pc_;
};

// One virtual LAN, built from topology(), for all the tests of a suite (building it costs
// more than most tests); each test runs in the PC's namespace.
template <LanTopology (*topology)()>
class SharedLanTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { lan_ = std::make_unique<VirtualLan>(topology()); }
  static void TearDownTestSuite() { lan_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(lan_->ok()) << lan_->error();
    ASSERT_TRUE(pc_.ok()) << pc_.error();
  }
  static const VirtualLan& lan() { return *lan_; }

 private:
  static inline std::unique_ptr<VirtualLan> lan_;
  NamespaceScope pc_{lan_->pc_namespace()};
};

// A mount namespace private to the calling thread while this lives: nothing mounted in it
// reaches the namespace the test started in. The thread's mount namespace and working
// directory are restored on destruction.
class PrivateMountScope {
 public:
  PrivateMountScope();
  ~PrivateMountScope();
  PrivateMountScope(const PrivateMountScope&) = delete;
  PrivateMountScope& operator=(const PrivateMountScope&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

 protected:
  std::string error_;

 private:
  int original_fd_ = -1;
  int directory_fd_ = -1;
  bool unshared_ = false;
};

// Gives the calling thread the files that `ip netns exec NAME` gives a program: in a private
// mount namespace, each file of /etc/netns/NAME is bound over its namesake in /etc (the PC's
// hosts file, so that the system resolver finds the virtual Internet's sites).
class NetnsFilesScope : public PrivateMountScope {
 public:
  explicit NetnsFilesScope(const std::string& netns_name);
};

}  // namespace test
