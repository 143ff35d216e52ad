#include "platform/adapters.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace platform {
namespace {

struct Interface {
  unsigned index = 0;
  int hardware_type = -1;
  bool loopback = false;
  bool up = false;
  PlatformAdapter adapter;
};

std::string dotted_text(const sockaddr* address) {
  if (address == nullptr || address->sa_family != AF_INET) return "0.0.0.0";
  char text[INET_ADDRSTRLEN] = "0.0.0.0";
  inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  return text;
}

bool is_wireless(const std::string& name) {
  struct stat info {};
  return stat(("/sys/class/net/" + name + "/wireless").c_str(), &info) == 0;
}

int type_code(int hardware_type, const std::string& name) {
  if (hardware_type == ARPHRD_ETHER) return is_wireless(name) ? adapter_type_wireless : adapter_type_ethernet;
  if (hardware_type == ARPHRD_PPP) return adapter_type_ppp;
  return adapter_type_other;
}

void take(Interface& interface, const ifaddrs& entry) {
  if ((entry.ifa_flags & IFF_LOOPBACK) != 0) interface.loopback = true;
  if ((entry.ifa_flags & IFF_UP) != 0) interface.up = true;
  if (entry.ifa_addr == nullptr) return;
  if (entry.ifa_addr->sa_family == AF_PACKET) {
    const auto* link = reinterpret_cast<const sockaddr_ll*>(entry.ifa_addr);
    interface.index = static_cast<unsigned>(link->sll_ifindex);
    interface.hardware_type = link->sll_hatype;
    if (link->sll_hatype == ARPHRD_LOOPBACK) interface.loopback = true;
    std::memcpy(interface.adapter.mac.data(), link->sll_addr, std::min<std::size_t>(link->sll_halen, 6));
  } else if (entry.ifa_addr->sa_family == AF_INET) {
    interface.adapter.addresses.emplace_back(dotted_text(entry.ifa_addr), dotted_text(entry.ifa_netmask));
  }
}

}  // namespace

AdapterListing list_adapters() {
  AdapterListing listing;
  ifaddrs* first = nullptr;
  if (getifaddrs(&first) != 0) {
    listing.status = errno == ENOMEM ? -1 : -2;
    return listing;
  }
  // IPv4 entries of an alias carry the label "eth0:1"; they belong to "eth0".
  std::map<std::string, Interface> by_name;
  for (const ifaddrs* entry = first; entry != nullptr; entry = entry->ifa_next) {
    std::string name = entry->ifa_name;
    name = name.substr(0, name.find(':'));
    Interface& interface = by_name[name];
    interface.adapter.name = name;
    take(interface, *entry);
  }
  freeifaddrs(first);

  std::vector<Interface> interfaces;
  for (auto& [name, interface] : by_name) {
    // A subnet of an interface that is down has no route: a query sent there fails.
    if (interface.loopback || !interface.up) continue;
    if (interface.index == 0) interface.index = if_nametoindex(name.c_str());
    interface.adapter.type = type_code(interface.hardware_type, name);
    if (interface.adapter.addresses.empty()) interface.adapter.addresses.emplace_back("0.0.0.0", "0.0.0.0");
    interfaces.push_back(std::move(interface));
  }
  std::sort(interfaces.begin(), interfaces.end(),
            [](const Interface& a, const Interface& b) { return a.index < b.index; });
  for (auto& interface : interfaces) listing.adapters.push_back(std::move(interface.adapter));
  return listing;
}

}  // namespace platform
