#include "platform/neighbour_table.h"

#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <span>

#include "platform/clock.h"
#include "platform/socket_handle.h"
#include "platform/socket_wait.h"
#include "platform/udp_socket.h"

namespace platform {
namespace {

// The datagram that makes the kernel resolve the address goes to the discard port, so a
// host that gets it once resolved ignores it.
constexpr std::uint16_t discard_port = 9;
constexpr int table_poll_interval_ms = 20;
constexpr long dump_wait_s = 1;
constexpr std::size_t dump_buffer_bytes = 32 * 1024;

constexpr std::uint16_t usable_states = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT;

// Netlink headers are in the machine's byte order; read them out of the buffer, never in place.
template <typename T>
T read_native(std::span<const std::uint8_t> bytes, std::size_t at) {
  T value{};
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

constexpr std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

void provoke_resolution(Ipv4Address ip) {
  SocketHandle socket = open_udp_socket();
  if (socket.valid()) send_datagram(socket.fd(), ip, discard_port, {});
}

// One RTM_NEWNEIGH body (ndmsg then attributes): true for a usable IPv4 entry of ip.
bool usable_entry_for(std::span<const std::uint8_t> body, Ipv4Address ip) {
  constexpr std::size_t ndmsg_bytes = sizeof(ndmsg);
  if (body.size() < ndmsg_bytes) return false;
  if (read_native<std::uint8_t>(body, offsetof(ndmsg, ndm_family)) != AF_INET) return false;
  if ((read_native<std::uint16_t>(body, offsetof(ndmsg, ndm_state)) & usable_states) == 0) return false;
  bool address_matches = false, has_lladdr = false;
  for (std::size_t at = align4(ndmsg_bytes); at + sizeof(rtattr) <= body.size();) {
    auto length = read_native<std::uint16_t>(body, at + offsetof(rtattr, rta_len));
    auto type = read_native<std::uint16_t>(body, at + offsetof(rtattr, rta_type));
    if (length < sizeof(rtattr) || at + length > body.size()) break;
    std::size_t payload = length - sizeof(rtattr);
    if (type == NDA_DST && payload == 4)
      address_matches = Ipv4Address::from_network_order(read_native<std::uint32_t>(body, at + sizeof(rtattr))) == ip;
    if (type == NDA_LLADDR && payload > 0) has_lladdr = true;
    at += align4(length);
  }
  return address_matches && has_lladdr;
}

// Dumps the IPv4 neighbour table and looks for a usable entry of ip.
bool neighbour_resolved(WaitClock& clock, Ipv4Address ip) {
  SocketHandle netlink(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (!netlink.valid()) return false;

  std::array<std::uint8_t, NLMSG_LENGTH(sizeof(ndmsg))> request{};
  nlmsghdr header{};
  header.nlmsg_len = request.size();
  header.nlmsg_type = RTM_GETNEIGH;
  header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  header.nlmsg_seq = 1;
  ndmsg query{};
  query.ndm_family = AF_INET;
  std::memcpy(request.data(), &header, sizeof header);
  std::memcpy(request.data() + NLMSG_HDRLEN, &query, sizeof query);
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (::sendto(netlink.fd(), request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
    return false;

  std::array<std::uint8_t, dump_buffer_bytes> buffer{};
  bool found = false;
  for (;;) {
    if (clock.wait_readable(netlink.fd(), dump_wait_s, 0) != WaitResult::ready) return found;
    ssize_t received = ::recv(netlink.fd(), buffer.data(), buffer.size(), 0);
    if (received <= 0) return found;
    std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(received));
    for (std::size_t at = 0; at + NLMSG_HDRLEN <= bytes.size();) {
      auto length = read_native<std::uint32_t>(bytes, at + offsetof(nlmsghdr, nlmsg_len));
      auto type = read_native<std::uint16_t>(bytes, at + offsetof(nlmsghdr, nlmsg_type));
      if (length < NLMSG_HDRLEN || at + length > bytes.size()) return found;
      if (type == NLMSG_DONE || type == NLMSG_ERROR) return found;
      if (type == RTM_NEWNEIGH && usable_entry_for(bytes.subspan(at + NLMSG_HDRLEN, length - NLMSG_HDRLEN), ip))
        found = true;
      at += NLMSG_ALIGN(length);
    }
  }
}

}  // namespace

bool resolve_neighbour(WaitClock& clock, Ipv4Address ip, int wait_ms) {
  provoke_resolution(ip);
  std::uint32_t start_ms = clock.tick_count_ms();
  for (;;) {
    if (neighbour_resolved(clock, ip)) return true;
    if (static_cast<int>(clock.tick_count_ms() - start_ms) >= wait_ms) return false;
    if (!clock.sleep_ms(table_poll_interval_ms)) return false;
  }
}

}  // namespace platform
