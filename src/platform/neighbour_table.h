#pragma once
// The kernel's ARP resolution, the stand-in for an operating-system ARP request: provoke
// it for an IPv4 address and watch the neighbour table (rtnetlink) for the answer.
#include <cstdint>

#include "platform/ipv4_address.h"
#include "platform/wait_clock.h"

namespace platform {

// Makes the kernel resolve ip by ARP, then reads its neighbour
// table until an entry with a link-layer address in a usable state (reachable, stale,
// delay, probe, permanent) appears or wait_ms have passed. With wait_ms 0 the request is
// only provoked and the table read once.
bool resolve_neighbour(WaitClock& clock, Ipv4Address ip, int wait_ms);

}  // namespace platform
