#pragma once
// The set-configuration exchange on the Discovery port: 00 00 00 FD and the 120-byte record
// out, an acknowledgement of up to 20 bytes back whose byte 3 is FB, from any address.
#include <array>
#include <cstdint>
#include <span>

#include "discovery/discovery_datagrams.h"
#include "discovery/module_table.h"

namespace config {

std::array<std::uint8_t, discovery::set_configuration_bytes> set_configuration_request(
    std::span<const std::uint8_t, discovery::record_size> record);

// True for an acknowledgement: at least 4 bytes with byte 3 = FB. Only byte 3 is checked.
bool is_set_configuration_ack(std::span<const std::uint8_t> datagram);

}  // namespace config
