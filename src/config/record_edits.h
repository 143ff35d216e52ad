#pragma once
// The edits a set-configuration write makes to a module's stored 120-byte configuration
// record: the network section on request, the work-mode section and, for the active-upload
// modes, the upload section. Every byte not named stays as the module reported it.
#include <cstdint>
#include <span>

#include "discovery/module_table.h"
#include "netenv/pending_parameters.h"

namespace config {

// Network section: IP, host bits, gateway, baud code 0 and port 10050. Work mode 0..4:
// bytes 28 and 29; 3 or 4 also the receiver, module code, interval, DNS and domain name.
// A work mode outside 0..4 leaves the work-mode and upload bytes untouched.
void apply_pending_parameters(std::span<std::uint8_t, discovery::record_size> record,
                              const netenv::PendingParameters& pending, bool with_network);

}  // namespace config
