#pragma once
// The Maintenance-port presence probe: is a module with this MAC tail on the LAN? Broadcast
// 00 95 A B from each adapter's address, port 12345, and catch the answer with a raw socket
// that sees every UDP packet for that address; the wait for it starts again with each
// packet and ends after 0.6 s of silence.
#include "maint/address_assignment.h"
#include "netenv/adapter_table.h"
#include "platform/wait_clock.h"

namespace maint {

constexpr long presence_wait_us = 600000;

// Codes of presence_probe.
constexpr int presence_socket_failed = -1;
constexpr int presence_send_failed = -2;
constexpr int presence_no_answer = -3;

struct PresenceProbeResult {
  int code = presence_no_answer;  // 0 when at least one answer was caught
  bool raw_not_permitted = false;  // an answer could not be caught for want of CAP_NET_RAW
};

// Probes address entry `entry`, or with -1 every entry from 0 on but only one per adapter.
PresenceProbeResult presence_probe(const netenv::AdapterTable& adapters, int entry, MacTail tail,
                                   platform::WaitClock& clock);

}  // namespace maint
