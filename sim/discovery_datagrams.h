#pragma once
// The module's answers on the discovery port, and the queries it recognises.
//
// Device reply (30 bytes):   0..3 = 00 00 00 F7, 8..9 = device type (ASCII), 24..29 = MAC.
// Configuration reply (124): 0..3 = 00 00 00 F9, 4..123 = the configuration record.
// A reply shape may force another length (truncated or zero-padded) or command byte (byte 3).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "configuration_record.h"
#include "module_config.h"

namespace sim {

enum class DiscoveryQuery { device, configuration };

// 00 00 00 F6 or 00 00 00 F8, exactly 4 bytes; anything else is not a query.
std::optional<DiscoveryQuery> parse_discovery_query(std::span<const std::uint8_t> datagram);

std::vector<std::uint8_t> encode_device_reply(const ModuleConfig& config);
std::vector<std::uint8_t> encode_configuration_reply(const ConfigurationRecord& record, const ReplyShape& shape);

}  // namespace sim
