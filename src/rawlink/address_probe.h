#pragma once
// Is an address in use on the LAN? The program's own ARP probe over packet capture, and
// the choice between it and the operating system's ARP resolution.
#include <cstdint>

#include "rawlink/raw_ethernet.h"

namespace rawlink {

constexpr int probe_read_timeout_ms = 100;
constexpr int probe_pause_ms = 100;
constexpr int probe_attempts = 3;
// How long the operating system's resolution may take before the address counts as free.
constexpr int neighbour_wait_ms = 1000;

// The platform family whose operating system offers no ARP request of its own.
constexpr int platform_family_without_os_arp = 98;

// Codes of arp_probe.
constexpr int probe_devices_unmatched = -1;
constexpr int probe_no_device = -2;
constexpr int probe_list_failed = -3;
constexpr int probe_open_failed = -4;
constexpr int probe_compile_failed = -5;
constexpr int probe_set_failed = -6;
constexpr int probe_send_failed = -7;

// Whether addresses are probed with arp_probe: in remote mode, or where the operating
// system cannot resolve for us.
bool uses_raw_arp(bool remote_mode, int platform_family);

// Entry by entry: 1 at once when ip is the entry's own address; otherwise three
// broadcast requests from the entry's adapter, and 1 when the third one got a reply from
// ip. On 1 state.probe_subnet_index names the entry. 0 when no entry got an
// answer, or a code above.
int arp_probe(RawEthernet& raw, platform::Ipv4Address ip);

// 1 when a device answered for ip, 0 when none did, a negative arp_probe code
// when the probe could not run.
int probe_address_in_use(RawEthernet& raw, platform::Ipv4Address ip);

}  // namespace rawlink
