#pragma once
// ARP frames of the raw-Ethernet layer: the recorder that keeps what the modules'
// frames tell (and ties a capture device to its adapter by the PC's own frames), and the
// broadcast request of the ARP probe.
//
//   offset  width  field (Ethernet II carrying ARP)
//   0       6      destination MAC
//   6       6      source MAC; a module's begins 00 20 4A
//   12      2      ethertype 08 06
//   14      2      hardware type 00 01     16  2  protocol 08 00
//   18      1      hardware length 06      19  1  protocol length 04
//   20      2      operation, 1 request, 2 reply
//   22      6      sender MAC              28  4  sender IP
//   32      6      target MAC              38  4  target IP
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "netenv/adapter_table.h"

namespace rawlink {

constexpr int max_arp_entries = 29;           // per capture device
constexpr std::size_t arp_frame_min_bytes = 42;
constexpr std::size_t arp_request_bytes = 60;
constexpr std::array<std::uint8_t, 3> module_mac_prefix{0x00, 0x20, 0x4A};

struct ArpEntry {
  std::array<std::uint8_t, 3> mac_tail{};  // last three bytes of the source MAC
  platform::Ipv4Address sender_ip;
  platform::Ipv4Address target_ip;
};

struct DeviceArpEntries {
  std::array<ArpEntry, max_arp_entries> entries{};
  int count = 0;
};

enum class FrameUse { module_entry, entries_full, device_matched, ignored };

// Records a frame captured on capture device `device`. A module's frame (requests and
// replies alike) becomes an entry unless the device holds max_arp_entries; any other
// frame from an adapter's MAC ties a device without adapter to that adapter and counts a
// matched device. Frames shorter than arp_frame_min_bytes or not ARP are ignored.
FrameUse record_arp_frame(std::span<const std::uint8_t> frame, int device, DeviceArpEntries& entries,
                          netenv::AdapterTable& adapters);

// Drops every entry whose MAC tail an earlier entry has; order kept. Returns the count left.
int deduplicate_arp_entries(DeviceArpEntries& entries);

// The probe's broadcast request from (mac, sender_ip) for target_ip; the target hardware
// address is all ones, the padding zero.
std::array<std::uint8_t, arp_request_bytes> build_arp_request(const std::array<std::uint8_t, 6>& mac,
                                                              platform::Ipv4Address sender_ip, platform::Ipv4Address target_ip);

// True for an ARP reply whose sender is sender_ip.
bool is_arp_reply_from(std::span<const std::uint8_t> frame, platform::Ipv4Address sender_ip);

}  // namespace rawlink
