#pragma once
// The SNMP version 1 frames of the module's agent on UDP 161.
//
// Request: 30 L { 02 version, 04 community, A0 L { 02 request-id, 02 error-status,
//          02 error-index, 30 L { 30 L { 06 OID, 05 00 } } } }
// Reply:   the same with A2 (GetResponse), error-status and error-index 0, and the value:
//   name object 1.3.6.1.2.1.1.5.0:        04 L, the name padded with blanks to 24 bytes
//                                          (so a 6-byte community gives a 65-byte reply);
//   reading object 1.3.6.1.4.1.7777.1.3.1.5.0: 02 04 V0 V1 V2 V3 (49 bytes: 02 at byte 43,
//     04 at byte 44, the values at 45..48).
// Values: V0 whole degrees, sign in bit 7; V1 whole percent; V2 tenths, temperature in the
// high nibble and humidity in the low; V3 digital inputs; EE when not available.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "module_config.h"

namespace sim {

enum class SnmpObject { name, reading };

struct SnmpRequest {
  SnmpObject object;
  std::vector<std::uint8_t> version;     // value bytes, echoed
  std::vector<std::uint8_t> community;   // value bytes, echoed
  std::vector<std::uint8_t> request_id;  // value bytes, echoed
};

std::optional<SnmpRequest> parse_snmp_request(std::span<const std::uint8_t> datagram);

std::array<std::uint8_t, 4> encode_snmp_values(const ModuleConfig& config);

// The reply to the request; the reading reply carries the forced data-reply length, if any.
std::vector<std::uint8_t> encode_snmp_reply(const SnmpRequest& request, const ModuleConfig& config);

}  // namespace sim
