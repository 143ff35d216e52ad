#pragma once
// Encodes a module's 120-byte configuration record from its named fields, byte by byte.
//
//   0..3  ip (big-endian)        6  host bits        12..15 gateway      17 baud code
//  20..21 port (little-endian)  22..23 server port (little-endian)  24..27 server ip
//  28 29  work-mode bytes       32  firmware level   33 snmp byte
//  36..37 module code (big-endian)  38 upload interval  39 server by name
//  66..69 dns ip                70..109 server name, NUL-padded
// Record patches are applied last; every other byte is zero.
#include <array>
#include <cstdint>

#include "module_config.h"

namespace sim {

using ConfigurationRecord = std::array<std::uint8_t, record_size_bytes>;

ConfigurationRecord encode_configuration_record(const ModuleConfig& config);

// What a module takes from a record written to it: the named fields above, into config.
void decode_configuration_record(const ConfigurationRecord& record, ModuleConfig& config);

}  // namespace sim
