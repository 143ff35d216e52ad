#pragma once
// The set-configuration request a module takes on its discovery port, and its answer.
//
// Request (124 bytes): 0..3 = 00 00 00 FD, 4..123 = the new configuration record.
// Acknowledgement (4 bytes): 00 00 00 FB.
#include <optional>
#include <span>
#include <vector>

#include "configuration_record.h"

namespace sim {

// The record of an exact set-configuration request, else nothing.
std::optional<ConfigurationRecord> parse_set_configuration(std::span<const std::uint8_t> datagram);
std::vector<std::uint8_t> encode_set_configuration_ack();

// "offsets 0 1 2 ..." of the bytes that differ, for the emulator's log.
std::string changed_offsets_text(const ConfigurationRecord& before, const ConfigurationRecord& after);
std::string hex_text(std::span<const std::uint8_t> bytes);

}  // namespace sim
