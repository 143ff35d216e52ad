#pragma once
// What makes the modules and the PC send ARP frames during a capture: the search's queries
// broadcast again, and the PC's own resolution of a host of each subnet.
#include "rawlink/raw_ethernet.h"

namespace rawlink {

// Code of both triggers.
constexpr int trigger_send_failed = -3;

// For every address entry: has the PC resolve host 253 of its subnet, so that its own ARP
// request goes out, and sends the query to the directed broadcast of each adapter's first
// entry. Returns 0 or trigger_send_failed.
int trigger_queries(RawEthernet& raw, QueryKind kind);

// Sends the query to the directed broadcast of the first entry of the device's adapter;
// nothing while the device has no adapter. Returns 0 or trigger_send_failed.
int trigger_device_queries(RawEthernet& raw, int device, QueryKind kind);

}  // namespace rawlink
