#pragma once
// The two passes of the search (defined with it, in module_search.cpp): a query to each
// address entry's directed broadcast, then every reply until a 0.6 s silence.
#include "discovery/module_table.h"
#include "netenv/adapter_table.h"
#include "platform/wait_clock.h"

namespace discovery {

// Codes of both passes.
constexpr int pass_send_failed = -3;
constexpr int pass_wait_failed = -4;
constexpr int pass_cancelled = -5;  // Stop or the close box: the search ends without a word

// Device queries to every address entry over the broadcast socket fd; fills the
// device-reply list. Returns 0 or a pass code.
int device_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table);

// Configuration queries to every address entry; fills rows from 0. Returns the number of
// rows filled (0..32) or a pass code.
int configuration_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table);

}  // namespace discovery
