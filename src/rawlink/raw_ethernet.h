#pragma once
// The state of the raw-Ethernet layer that outlives one operation, and the set of things
// each of its operations works with.
#include <array>
#include <string>
#include <vector>

#include "rawlink/arp_frames.h"
#include "rawlink/raw_link.h"
#include "netenv/adapter_table.h"

namespace rawlink {

struct RawEthernetState {
  std::vector<std::string> capture_devices;  // named devices, at most netenv::max_capture_devices
  std::array<DeviceArpEntries, netenv::max_capture_devices> captured{};  // by device, until the next search
  int captured_total = 0;
  int probe_subnet_index = 0;  // address entry that answered the last successful arp_probe
  bool capture_rights_reported = false;  // the operator has been told once that capture is not allowed
};

struct RawEthernet {
  netenv::AdapterTable& adapters;
  RawEthernetState& state;
  RawLink& link;
  bool raw_arp;  // resolve addresses with arp_probe instead of the operating system (see uses_raw_arp)
};

}  // namespace rawlink
