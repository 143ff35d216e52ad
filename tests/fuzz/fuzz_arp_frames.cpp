// Captured frames for the ARP recorder: never a read past a frame, at most 29 entries per
// device, an entry only for a frame the device's table holds, de-duplication leaves distinct
// MAC tails. Input: records of [device byte][length byte][frame bytes]. Which bytes an
// entry takes is the unit tests'.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rawlink/arp_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  netenv::AdapterTable adapters;
  adapters.adapter_count = 2;
  adapters.adapters[0].mac = {0x02, 0, 0, 0, 0, 1};
  adapters.adapters[1].mac = {0x02, 0, 0, 0, 0, 2};
  std::vector<rawlink::DeviceArpEntries> devices(netenv::max_capture_devices);
  int frames = 0;

  for (std::size_t at = 0; at + 2 <= size;) {
    int device = static_cast<int>(data[at] % 8) - 1;  // -1 and 6 lie outside the table
    std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
    // An exact-size copy, so that a read past the frame is caught.
    std::vector<std::uint8_t> frame(data + at + 2, data + at + 2 + length);
    at += 2 + length;
    ++frames;
    rawlink::DeviceArpEntries scratch;
    bool in_table = device >= 0 && device < netenv::max_capture_devices;
    rawlink::DeviceArpEntries& entries = in_table ? devices[static_cast<std::size_t>(device)] : scratch;
    int before = entries.count;
    rawlink::FrameUse use = rawlink::record_arp_frame(frame, device, entries, adapters);
    rawlink::is_arp_reply_from(frame, platform::Ipv4Address::from_octets(192, 168, 1, 1));
    if (entries.count > rawlink::max_arp_entries) __builtin_trap();
    const bool added = use == rawlink::FrameUse::module_entry;
    if (entries.count != before + (added ? 1 : 0) || (added && !in_table)) __builtin_trap();
  }
  if (adapters.matched_device_count > std::min(frames, netenv::max_capture_devices)) __builtin_trap();

  for (rawlink::DeviceArpEntries& entries : devices) {
    int kept = rawlink::deduplicate_arp_entries(entries);
    for (int i = 0; i < kept; ++i)
      for (int j = 0; j < i; ++j)
        if (entries.entries[static_cast<std::size_t>(i)].mac_tail == entries.entries[static_cast<std::size_t>(j)].mac_tail)
          __builtin_trap();
    if (rawlink::deduplicate_arp_entries(entries) != kept) __builtin_trap();
  }
  return 0;
}
