#include "namespace_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "sockets.h"

extern char** environ;

namespace sim {
namespace {

struct ModuleInterface {
  std::string name;
  int prefix_length = 24;
};

// The first interface that is up, not loopback, preferring one with an IPv4 address.
ModuleInterface module_interface() {
  ModuleInterface found;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return found;
  for (ifaddrs* i = list; i; i = i->ifa_next) {
    if ((i->ifa_flags & IFF_LOOPBACK) || !(i->ifa_flags & IFF_UP)) continue;
    const bool has_ipv4 = i->ifa_addr && i->ifa_addr->sa_family == AF_INET;
    if (found.name.empty() || has_ipv4) {
      found.name = i->ifa_name;
      if (has_ipv4 && i->ifa_netmask) {
        const auto mask = reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr;
        found.prefix_length = std::popcount(static_cast<std::uint32_t>(mask));
      }
      if (has_ipv4) break;
    }
  }
  ::freeifaddrs(list);
  return found;
}

// Runs `ip ARGS...`; empty on exit status 0.
std::string run_ip(std::vector<std::string> args) {
  args.insert(args.begin(), "ip");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawn_error = ::posix_spawnp(&pid, "ip", nullptr, nullptr, argv.data(), environ);
  std::string command;
  for (std::size_t i = 0; i + 1 < argv.size(); ++i) command += (i ? " " : "") + args[i];
  if (spawn_error != 0) return command + ": " + std::strerror(spawn_error);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return command + ": failed";
  return {};
}

}  // namespace

std::string add_namespace_address(const Ipv4& address) {
  const ModuleInterface interface = module_interface();
  if (interface.name.empty()) return "no interface to add an address to";
  return run_ip({"addr", "replace", to_text(address) + "/32", "dev", interface.name});
}

int current_prefix_length() { return module_interface().prefix_length; }

int prefix_length_from_host_bits(int host_bits, int current) {
  if (host_bits <= 0 || host_bits >= 32) return current;
  return 32 - host_bits;
}

std::string move_namespace_address(const Ipv4& new_address, int prefix_length, const Ipv4& gateway) {
  const ModuleInterface interface = module_interface();
  if (interface.name.empty()) return "no interface to move the address on";
  const std::string address = to_text(new_address) + "/" + std::to_string(std::clamp(prefix_length, 1, 32));
  if (auto e = run_ip({"-4", "addr", "flush", "dev", interface.name}); !e.empty()) return e;
  if (auto e = run_ip({"addr", "add", address, "broadcast", "+", "dev", interface.name}); !e.empty()) return e;
  if (gateway == Ipv4{}) return {};
  // onlink: a gateway outside the new subnet is still taken, as the module's firmware would.
  return run_ip({"route", "replace", "default", "via", to_text(gateway), "dev", interface.name, "onlink"});
}

}  // namespace sim
