#pragma once
// What the operator chooses for the upload server in its settings dialog. Kept in memory
// only: every run starts with these values.
#include <cstdint>

#include "discovery/module_table.h"

namespace server {

constexpr std::uint16_t default_port = 8005;
constexpr unsigned min_port = 1000;
constexpr unsigned max_port = 65535;

struct ServerSettings {
  int protocol = discovery::atcp;  // atcp: TCP server; any other value: UDP server
  std::uint16_t port = default_port;
  int local_address_index = 0;     // address entry whose ip is bound: 0 or 1
  bool raw_data_display = false;   // log TCP accepts, closes and errors
};

inline bool uses_tcp(const ServerSettings& settings) { return settings.protocol == discovery::atcp; }

}  // namespace server
