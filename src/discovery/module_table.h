#pragma once
// The Module table: one row per module found by the last search (at most 32), the order
// in which the rows are listed, and the rules that derive each row's flags.
#include <array>
#include <cstdint>
#include <span>

#include "discovery/discovery_datagrams.h"
#include "netenv/adapter_table.h"
#include "netenv/sensor_port.h"

namespace discovery {

constexpr int max_rows = 32;
constexpr int record_size = 120;
constexpr std::uint16_t default_expected_port = netenv::sensor_data_port;

enum WorkMode : std::uint8_t { tcp = 0, udp = 1, snmp = 2, audp = 3, atcp = 4, no_mode = 0xFF };

struct ModuleRow {
  std::uint8_t subnet_index = 0;
  platform::Ipv4Address reply_source;  // only for pairing
  platform::Ipv4Address ip;
  bool dynamic_ip = false;
  std::uint8_t host_bits = 0;
  platform::Ipv4Address gateway;
  std::uint8_t baud_code = 0;
  std::uint16_t port = 0;
  std::uint16_t server_port = 0;
  platform::Ipv4Address server_ip;
  std::uint16_t module_code = 0;
  std::uint8_t upload_interval = 0;
  std::uint8_t server_by_name = 0;
  platform::Ipv4Address dns_ip;
  std::array<char, 41> server_name{};
  std::uint8_t work_mode = tcp;
  std::uint8_t firmware_level = 0;
  bool active_capable = false;
  bool snmp_capable = false;
  std::array<std::uint8_t, record_size> record{};
  std::array<std::uint8_t, 6> mac{};
  std::array<char, 2> device_type{};
  bool wireless = false;
  bool raw_only = false;
  bool outside_subnet = false;
  bool sensor_module = false;
};

struct DeviceReply {
  platform::Ipv4Address source_ip;
  std::array<char, 2> device_type{};
  std::array<std::uint8_t, 6> mac{};
};

struct ModuleTable {
  std::array<ModuleRow, max_rows> rows{};
  std::array<DeviceReply, max_rows> device_replies{};
  int device_reply_count = 0;
  int found_count = 0;
  std::array<int, max_rows> display_order{};
  int shown_count = 0;
  int inside_count = 0;
  int outside_count = 0;
  bool active_module_seen = false;
};

// Empties the table: every count and flag cleared, every row back to its start values.
void reset_module_table(ModuleTable& table);

// Fills row from a 124-byte configuration reply received from source_ip in
// answer to the query sent to address entry subnet_index. False when row is not a row number.
bool decode_configuration_reply(ModuleTable& table, int row,
                                std::span<const std::uint8_t, configuration_reply_bytes> reply,
                                platform::Ipv4Address source_ip, int subnet_index);

// Appends a 30-byte device reply to the device-reply list (ignored when the list is full).
void store_device_reply(ModuleTable& table, std::span<const std::uint8_t, device_reply_bytes> reply,
                        platform::Ipv4Address source_ip);

// Gives each of the first device_reply_count rows the MAC, type and address of the first
// device reply from the same source; rows without one keep what they had.
void pair_device_replies(ModuleTable& table);

// The address entry the row answered on, or null when the Adapter table has no such entry.
const netenv::AddressEntry* subnet_entry(const ModuleRow& row, const netenv::AdapterTable& adapters);

// True when the row's ip lies in the subnet of its address entry; a row whose entry does
// not exist is outside.
bool row_inside_subnet(const ModuleRow& row, const netenv::AdapterTable& adapters);

// Lists the first found_count rows: inside rows by ip, then the outside rows in arrival
// order without those whose ip is listed again later or inside.
void order_rows(ModuleTable& table, const netenv::AdapterTable& adapters);

// Derives outside_subnet and sensor_module of every listed row (not used in remote mode,
// where the remote test sets row 0's flags itself).
void classify_rows(ModuleTable& table, const netenv::AdapterTable& adapters, std::uint16_t expected_port);

// Baud table of the record's baud code (11 entries); 0 for an unknown code.
int baud_rate(int baud_code);

}  // namespace discovery
