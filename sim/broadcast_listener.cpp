#include "broadcast_listener.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace sim {
namespace {

constexpr std::size_t ethernet_header_bytes = 14;
constexpr std::size_t udp_header_bytes = 8;

std::string errno_text(const std::string& step) { return step + ": " + std::strerror(errno); }

// Index of the interface holding the address; 0 (every interface) for 0.0.0.0, -1 when none has it.
int interface_index_of(const Ipv4& address) {
  if (address == Ipv4{}) return 0;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return -1;
  int index = -1;
  for (ifaddrs* a = list; a != nullptr && index < 0; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    if (std::memcmp(&in->sin_addr.s_addr, address.data(), 4) == 0) index = static_cast<int>(::if_nametoindex(a->ifa_name));
  }
  ::freeifaddrs(list);
  return index;
}

std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

}  // namespace

std::string BroadcastListener::open(const Ipv4& local_address, std::uint16_t udp_port) {
  const int if_index = interface_index_of(local_address);
  if (if_index < 0) return "no interface holds " + to_text(local_address);
  // Protocol 0 receives nothing until the filter is in place and the socket is bound.
  FdHandle fd(::socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.valid()) return errno_text("AF_PACKET socket (needs CAP_NET_RAW)");

  // IPv4, UDP, not a fragment, destination port: the classic filter over the Ethernet frame.
  sock_filter code[] = {
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IP, 0, 8),
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 23),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 6),
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 20),
      BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x3FFF, 4, 0),
      BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, ethernet_header_bytes),
      BPF_STMT(BPF_LD | BPF_H | BPF_IND, ethernet_header_bytes + 2),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, udp_port, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, 0xFFFF),
      BPF_STMT(BPF_RET | BPF_K, 0),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
  if (::setsockopt(fd.get(), SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) != 0) {
    return errno_text("SO_ATTACH_FILTER");
  }
  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_protocol = htons(ETH_P_IP);
  link.sll_ifindex = if_index;
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&link), sizeof link) != 0) {
    return errno_text("bind AF_PACKET");
  }
  fd_ = std::move(fd);
  return {};
}

std::optional<ReceivedDatagram> BroadcastListener::read() {
  std::uint8_t frame[2048];
  sockaddr_ll link{};
  socklen_t link_size = sizeof link;
  const ssize_t n = ::recvfrom(fd_.get(), frame, sizeof frame, 0, reinterpret_cast<sockaddr*>(&link), &link_size);
  if (n < 0 || link.sll_pkttype != PACKET_BROADCAST) return std::nullopt;
  const auto size = static_cast<std::size_t>(n);
  if (size < ethernet_header_bytes + 20 + udp_header_bytes) return std::nullopt;
  const std::uint8_t* ip = frame + ethernet_header_bytes;
  const std::size_t ip_header_bytes = (ip[0] & 0x0F) * 4u;
  if ((ip[0] >> 4) != 4 || ip_header_bytes < 20) return std::nullopt;
  const std::size_t ip_end = ethernet_header_bytes + std::min<std::size_t>(be16(ip + 2), size - ethernet_header_bytes);
  const std::size_t udp_at = ethernet_header_bytes + ip_header_bytes;
  if (udp_at + udp_header_bytes > ip_end) return std::nullopt;
  const std::uint8_t* udp = frame + udp_at;
  const std::size_t udp_length = be16(udp + 4);
  if (udp_length < udp_header_bytes || udp_at + udp_length > ip_end) return std::nullopt;

  ReceivedDatagram d;
  std::memcpy(d.source.address.data(), ip + 12, 4);
  std::memcpy(d.destination.data(), ip + 16, 4);
  d.source.port = be16(udp);
  d.payload.assign(udp + udp_header_bytes, udp + udp_length);
  return d;
}

}  // namespace sim
