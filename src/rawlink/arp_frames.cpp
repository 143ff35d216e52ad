#include "rawlink/arp_frames.h"

#include <algorithm>

#include "platform/byte_reader.h"

namespace rawlink {
namespace {

constexpr std::size_t source_mac_at = 6;
constexpr std::size_t mac_tail_at = 9;
constexpr std::size_t ethertype_at = 12;
constexpr std::size_t operation_at = 20;
constexpr std::size_t sender_mac_at = 22;
constexpr std::size_t sender_ip_at = 28;
constexpr std::size_t target_mac_at = 32;
constexpr std::size_t target_ip_at = 38;
constexpr std::uint16_t ethertype_arp = 0x0806;
constexpr std::uint16_t operation_request = 1;
constexpr std::uint16_t operation_reply = 2;

void write_ip(std::span<std::uint8_t> frame, std::size_t at, platform::Ipv4Address ip) {
  for (int i = 0; i < 4; ++i) frame[at + static_cast<std::size_t>(i)] = ip.octet(i);
}

bool is_arp(std::span<const std::uint8_t> frame) {
  return frame.size() >= arp_frame_min_bytes && platform::ByteReader(frame).be16(ethertype_at) == ethertype_arp;
}

bool from_module(std::span<const std::uint8_t> frame) {
  return std::equal(module_mac_prefix.begin(), module_mac_prefix.end(), frame.begin() + source_mac_at);
}

// Ties the device to the first adapter whose MAC sent the frame.
bool match_device(std::span<const std::uint8_t> frame, int device, netenv::AdapterTable& adapters) {
  int& device_adapter = adapters.capture_device_adapter[static_cast<std::size_t>(device)];
  if (device_adapter != netenv::unknown_adapter) return false;
  auto source = frame.subspan(source_mac_at, 6);
  int count = std::min(adapters.adapter_count, netenv::max_adapters);
  for (int j = 0; j < count; ++j) {
    const auto& mac = adapters.adapters[static_cast<std::size_t>(j)].mac;
    if (std::equal(mac.begin(), mac.end(), source.begin())) {
      device_adapter = j;
      ++adapters.matched_device_count;
      return true;
    }
  }
  return false;
}

}  // namespace

FrameUse record_arp_frame(std::span<const std::uint8_t> frame, int device, DeviceArpEntries& entries,
                          netenv::AdapterTable& adapters) {
  if (device < 0 || device >= netenv::max_capture_devices || !is_arp(frame)) return FrameUse::ignored;
  if (!from_module(frame)) return match_device(frame, device, adapters) ? FrameUse::device_matched : FrameUse::ignored;
  if (entries.count < 0 || entries.count >= max_arp_entries) return FrameUse::entries_full;
  ArpEntry& entry = entries.entries[static_cast<std::size_t>(entries.count++)];
  std::copy_n(frame.begin() + mac_tail_at, entry.mac_tail.size(), entry.mac_tail.begin());
  platform::ByteReader read(frame);
  entry.sender_ip = read.ipv4(sender_ip_at);
  entry.target_ip = read.ipv4(target_ip_at);
  return FrameUse::module_entry;
}

int deduplicate_arp_entries(DeviceArpEntries& entries) {
  int kept = 0;
  int count = std::clamp(entries.count, 0, max_arp_entries);
  for (int i = 0; i < count; ++i) {
    const ArpEntry& entry = entries.entries[static_cast<std::size_t>(i)];
    auto earlier = entries.entries.begin() + kept;
    bool seen = std::any_of(entries.entries.begin(), earlier,
                            [&](const ArpEntry& other) { return other.mac_tail == entry.mac_tail; });
    if (!seen) entries.entries[static_cast<std::size_t>(kept++)] = entry;
  }
  entries.count = kept;
  return kept;
}

std::array<std::uint8_t, arp_request_bytes> build_arp_request(const std::array<std::uint8_t, 6>& mac,
                                                              platform::Ipv4Address sender_ip, platform::Ipv4Address target_ip) {
  std::array<std::uint8_t, arp_request_bytes> frame{};
  std::fill_n(frame.begin(), 6, 0xFF);
  std::copy(mac.begin(), mac.end(), frame.begin() + source_mac_at);
  frame[ethertype_at] = 0x08;
  frame[ethertype_at + 1] = 0x06;
  frame[14] = 0x00;  // hardware type Ethernet
  frame[15] = 0x01;
  frame[16] = 0x08;  // protocol IPv4
  frame[17] = 0x00;
  frame[18] = 6;
  frame[19] = 4;
  frame[operation_at] = 0x00;
  frame[operation_at + 1] = operation_request;
  std::copy(mac.begin(), mac.end(), frame.begin() + sender_mac_at);
  write_ip(frame, sender_ip_at, sender_ip);
  std::fill_n(frame.begin() + target_mac_at, 6, 0xFF);
  write_ip(frame, target_ip_at, target_ip);
  return frame;
}

bool is_arp_reply_from(std::span<const std::uint8_t> frame, platform::Ipv4Address sender_ip) {
  platform::ByteReader read(frame);
  return is_arp(frame) && read.be16(operation_at) == operation_reply && read.ipv4(sender_ip_at) == sender_ip;
}

}  // namespace rawlink
