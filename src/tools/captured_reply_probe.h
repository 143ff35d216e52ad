#pragma once
// Does a router report the network of an address unreachable from an address entry? The
// report is seen only on the wire, through packet capture (defined with the probes, in
// icmp_probe.cpp). Waits through the link's clock for up to ten passes.
#include <cstdint>

#include "rawlink/raw_ethernet.h"
#include "tools/icmp_probe.h"

namespace tools {

constexpr int report_passes = 10;
constexpr int report_read_timeout_ms = 30;
constexpr int report_pause_ms = 100;

// Codes of captured_reply_probe.
constexpr int report_devices_unmatched = -1;
constexpr int report_no_device = -2;
constexpr int report_list_failed = -3;
constexpr int report_open_failed = -4;
constexpr int report_compile_failed = -5;
constexpr int report_set_failed = -6;
constexpr int report_not_seen = -8;
constexpr int report_not_permitted = -9;  // the process lacks CAP_NET_RAW (capture or ICMP socket)

// Captures ICMP on the device of entry's adapter while sending echo requests to
// target, up to ten passes. Returns 0 once a "network unreachable" report about
// target to entry's address was seen, or a code above.
int captured_reply_probe(rawlink::RawEthernet& raw, IcmpLink& icmp, int entry, platform::Ipv4Address target);

}  // namespace tools
