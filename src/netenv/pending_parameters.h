#pragma once
// The Pending parameter set: the one set of new module parameters that the parameter and
// active-upload dialogs fill and the writes apply.
#include <array>
#include <cstddef>
#include <cstdint>

#include "netenv/sensor_port.h"
#include "platform/ipv4_address.h"

namespace netenv {

// What every write of the network section puts into the record: the sensor modules' data
// port and baud index 0 (38400).
constexpr std::uint16_t network_write_port = sensor_data_port;
constexpr std::uint8_t network_write_baud_index = 0;
constexpr std::size_t server_name_bytes = 40;
constexpr std::uint8_t server_by_name_marker = 0x10;  // record byte 39 in domain-name mode

struct PendingParameters {
  platform::Ipv4Address new_module_ip;
  platform::Ipv4Address new_gateway;
  std::uint8_t host_bits = 0;  // 255.255.255.0 gives 8; 0.0.0.0 and 255.255.255.255 give 0
  std::uint16_t port = network_write_port;
  std::uint8_t baud_index = network_write_baud_index;
  int work_mode = 0;  // 0 TCP, 1 UDP, 2 SNMP, 3 AUDP, 4 ATCP
  // Active upload.
  platform::Ipv4Address server_ip;
  std::uint16_t server_port = 0;
  std::uint16_t module_code = 0;
  std::uint8_t upload_interval = 0;  // interval = n x 5 + 5 seconds
  bool server_by_name = false;
  platform::Ipv4Address dns_ip;
  std::array<std::uint8_t, server_name_bytes> server_name{};  // NUL-padded
  bool active_upload_confirmed = false;  // the active-upload dialog closed with OK

  bool operator==(const PendingParameters&) const = default;
};

}  // namespace netenv
