#include "support/virtual_lan.h"

#include "support/temporary_directory.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace test {
namespace {

const char* const vlan_script = QV_SOURCE_DIR "/scripts/vlan";
const char* const run_root = "/run/quorvane-vlan";

// Starts args with in_fd as its standard input and out_fd as its standard output and error
// (-1: /dev/null) and no other descriptor, in a session of its own when asked; -1 when fork fails.
pid_t spawn(const std::vector<std::string>& args, int in_fd, int out_fd, bool own_session = false) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (own_session) ::setsid();
  const int null_fd = ::open("/dev/null", O_RDWR);
  ::dup2(in_fd >= 0 ? in_fd : null_fd, 0);
  ::dup2(out_fd >= 0 ? out_fd : null_fd, 1);
  ::dup2(out_fd >= 0 ? out_fd : null_fd, 2);
  ::close_range(3, ~0U, 0);
  ::execvp(argv[0], argv.data());
  ::_exit(127);
}

struct CommandResult {
  int status = -1;  // exit code, or -1 when it did not run or died of a signal
  std::string output;
};

// Runs args with stdout and stderr captured; waits for it.
CommandResult run_command(const std::vector<std::string>& args) {
  CommandResult result;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    result.output = std::string("pipe: ") + std::strerror(errno);
    return result;
  }
  const pid_t pid = spawn(args, -1, out[1]);
  ::close(out[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(out[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  if (pid < 0) {
    result.output = std::string("fork: ") + std::strerror(errno);
    return result;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string hex2(int value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02x", value & 0xFF);
  return text;
}

}  // namespace

LanTopology& LanTopology::add_subnet(int id, const std::string& pc_address) {
  for (LanSubnet& s : subnets) {
    if (s.id == id) {
      s.pc_addresses.push_back(pc_address);
      return *this;
    }
  }
  subnets.push_back({id, {pc_address}});
  return *this;
}

LanTopology& LanTopology::add_module(LanModule module) {
  modules.push_back(std::move(module));
  return *this;
}

LanTopology& LanTopology::add_sensor_modules(int subnet_id, int count, int first_host,
                                             const std::string& extra_config) {
  std::string network;  // "192.168.1.10/24" -> "192.168.1."
  for (const LanSubnet& s : subnets) {
    if (s.id == subnet_id) network = s.pc_addresses.front().substr(0, s.pc_addresses.front().rfind('.') + 1);
  }
  for (int host = first_host; host < first_host + count; ++host) {
    add_sensor_module("s" + std::to_string(subnet_id) + "h" + std::to_string(host), subnet_id,
                      "00:20:4a:" + hex2(subnet_id) + ":00:" + hex2(host), network + std::to_string(host),
                      network + "1", extra_config);
  }
  return *this;
}

LanTopology& LanTopology::add_sensor_module(const std::string& name, int subnet_id, const std::string& mac,
                                            const std::string& ip, const std::string& gateway,
                                            const std::string& extra_config) {
  return add_module({name, subnet_id, mac, ip + "/24", gateway,
                     sensor_module_config(mac, ip, gateway == "-" ? "0.0.0.0" : gateway, extra_config)});
}

std::string sensor_module_config(const std::string& mac, const std::string& ip, const std::string& gateway,
                                 const std::string& extra_config) {
  return "[module]\nmac = " + mac + "\ndevice_type = Q8\nip = " + ip + "\nhost_bits = 8\ngateway = " + gateway +
         "\nport = 10050\nbaud_code = 9\nwork_mode = TCP\nfirmware_level = 0x31\n" + extra_config + "\n";
}

VirtualLan::VirtualLan(const LanTopology& topology) {
  if (!prepare_work_dir()) return;
  std::ostringstream text;
  for (const LanSubnet& s : topology.subnets) {
    text << "subnet " << s.id;
    for (const std::string& a : s.pc_addresses) text << ' ' << a;
    text << '\n';
  }
  for (const LanModule& m : topology.modules) {
    const std::string config_name = m.config_text.empty() ? "-" : m.name + ".conf";
    if (!m.config_text.empty()) write_file(work_dir_ / config_name, m.config_text);
    text << "module " << m.name << ' ' << m.subnet_id << ' ' << m.mac << ' ' << m.address << ' ' << m.gateway << ' '
         << config_name << '\n';
  }
  for (const LanRouter& r : topology.routers) {
    text << "router " << r.subnet_id << ' ' << r.address << ' '
         << (r.kind == RouterKind::internet ? "internet" : "unreachable") << '\n';
  }
  for (const LanFarSubnet& f : topology.far_subnets) text << "far " << f.id << ' ' << f.router_address << '\n';
  // A file that could not be written (this one or a config) makes scripts/vlan up fail, saying which.
  write_file(work_dir_ / "lan.topology", text.str());
  build(work_dir_ / "lan.topology");
}

VirtualLan::VirtualLan(const std::filesystem::path& topology_file) {
  if (!prepare_work_dir()) return;
  build(topology_file);
}

bool VirtualLan::prepare_work_dir() {
  if (::geteuid() != 0) {
    error_ = "the virtual LAN needs root (network namespaces, veth pairs, bridges): run the LAN tests as root";
    return false;
  }
  char dir_template[] = "/tmp/qv-lan-XXXXXX";
  if (::mkdtemp(dir_template) == nullptr) {
    error_ = std::string("mkdtemp: ") + std::strerror(errno);
    return false;
  }
  work_dir_ = dir_template;
  return true;
}

void VirtualLan::build(const std::filesystem::path& topology_file) {
  // Runs left behind by test processes that died are removed first.
  const CommandResult reaped = run_command({"bash", vlan_script, "reap"});
  if (reaped.status != 0) std::fprintf(stderr, "%s", reaped.output.c_str());

  // The owner pid makes the prefix unique between processes, the work directory within one.
  prefix_ = "qv" + std::to_string(::getpid()) + "x" + work_dir_.filename().string().substr(std::strlen("qv-lan-"));
  start_watchdog();
  if (!ok()) return;
  const CommandResult up = run_command({"env", std::string("QV_EMULATOR=") + QV_EMULATOR, "bash", vlan_script, "up",
                                        topology_file.string(), prefix_});
  if (up.status != 0) error_ = "scripts/vlan up failed: " + up.output;
}

// A child that outlives nothing: it waits on a pipe whose only writer is this process. The
// destructor writes 'd' after its own tear-down; if the process dies first (crash, signal,
// exit without destructors), the pipe closes empty and the child tears the LAN down and
// removes the work directory.
void VirtualLan::start_watchdog() {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    return;
  }
  // In a session of its own, out of the terminal's process group: Ctrl-C stops the test, not this.
  const pid_t pid = spawn({"bash", "-c",
                           "read -r -n1 done; [ \"$done\" = d ] || { bash \"$0\" down \"$1\"; rm -rf -- \"$2\"; }",
                           vlan_script, prefix_, work_dir_.string()},
                          pipe_fds[0], -1, true);
  ::close(pipe_fds[0]);
  if (pid < 0) {
    ::close(pipe_fds[1]);
    error_ = std::string("fork: ") + std::strerror(errno);
    return;
  }
  watchdog_fd_ = pipe_fds[1];
  watchdog_pid_ = pid;
}

VirtualLan::~VirtualLan() {
  bool clean = true;
  if (!prefix_.empty()) {
    const CommandResult result = run_command({"bash", vlan_script, "down", prefix_});
    clean = result.status == 0;
    if (!clean) std::fprintf(stderr, "scripts/vlan down %s failed: %s", prefix_.c_str(), result.output.c_str());
  }
  if (watchdog_fd_ >= 0) {
    // After a failed down the watchdog tries once more.
    if (clean) (void)::write(watchdog_fd_, "d", 1);
    ::close(watchdog_fd_);
    int status = 0;
    while (::waitpid(watchdog_pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (!work_dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(work_dir_, ignored);
  }
}

std::string VirtualLan::emulator_log(const std::string& module_name) const {
  return read_file(std::string(run_root) + "/" + prefix_ + "/" + module_name + ".log");
}

int VirtualLan::emulator_logged_count(const std::string& module_name, const std::string& text) const {
  const std::string log = emulator_log(module_name);
  int count = 0;
  for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
  return count;
}

bool VirtualLan::emulator_logs(const std::string& module_name, const std::string& text) const {
  for (int i = 0; i < 50; ++i) {
    if (emulator_logged_count(module_name, text) > 0) return true;
    ::usleep(100 * 1000);
  }
  return false;
}

NamespaceScope::NamespaceScope(const std::string& netns_name) {
  original_fd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  if (original_fd_ < 0) {
    error_ = std::string("open own namespace: ") + std::strerror(errno);
    return;
  }
  const std::string path = "/run/netns/" + netns_name;
  const int target = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (target < 0) {
    error_ = "open " + path + ": " + std::strerror(errno);
    return;
  }
  if (::setns(target, CLONE_NEWNET) != 0) error_ = "setns " + path + ": " + std::strerror(errno);
  ::close(target);
}

NamespaceScope::~NamespaceScope() {
  if (original_fd_ < 0) return;
  if (ok() && ::setns(original_fd_, CLONE_NEWNET) != 0) {
    ADD_FAILURE() << "cannot return to the original network namespace: " << std::strerror(errno);
  }
  ::close(original_fd_);
}

PrivateMountScope::PrivateMountScope() {
  original_fd_ = ::open("/proc/thread-self/ns/mnt", O_RDONLY | O_CLOEXEC);
  directory_fd_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (original_fd_ < 0 || directory_fd_ < 0) {
    error_ = std::string("open own mount namespace or directory: ") + std::strerror(errno);
  } else if (::unshare(CLONE_NEWNS) != 0) {
    error_ = std::string("unshare mount namespace: ") + std::strerror(errno);
  } else {
    unshared_ = true;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_SLAVE, nullptr) != 0)
      error_ = std::string("make / a slave mount: ") + std::strerror(errno);
  }
}

PrivateMountScope::~PrivateMountScope() {
  if (unshared_) {
    if (::setns(original_fd_, CLONE_NEWNS) != 0) {
      ADD_FAILURE() << "cannot return to the original mount namespace: " << std::strerror(errno);
    } else if (::fchdir(directory_fd_) != 0) {
      ADD_FAILURE() << "cannot return to the working directory: " << std::strerror(errno);
    }
  }
  if (original_fd_ >= 0) ::close(original_fd_);
  if (directory_fd_ >= 0) ::close(directory_fd_);
}

NetnsFilesScope::NetnsFilesScope(const std::string& netns_name) {
  if (!ok()) return;
  const std::filesystem::path files = "/etc/netns/" + netns_name;
  std::error_code listing_error;
  for (const auto& entry : std::filesystem::directory_iterator(files, listing_error)) {
    const std::string target = "/etc/" + entry.path().filename().string();
    if (::mount(entry.path().c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      error_ = "bind " + entry.path().string() + " over " + target + ": " + std::strerror(errno);
      return;
    }
  }
  if (listing_error) error_ = "list " + files.string() + ": " + listing_error.message();
}

}  // namespace test
