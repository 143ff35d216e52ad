#pragma once
// A listed UDP sensor module on 127.0.0.1 that receives every request and never answers.
#include "app/program_context.h"
#include "support/loopback_socket.h"

namespace test {

struct SilentModule {
  SilentModule() : socket(loopback_socket(SOCK_DGRAM)), port(local_port(socket.fd())) {}

  // Lists the module in row 0, as a search would leave it.
  void list_in(app::ProgramContext& context) const {
    context.adapters.adapter_table_valid = true;
    discovery::ModuleTable& m = context.modules;
    m.shown_count = 1;
    m.display_order[0] = 0;
    m.rows[0].sensor_module = true;
    m.rows[0].work_mode = discovery::udp;
    m.rows[0].ip = platform::Ipv4Address::from_octets(127, 0, 0, 1);
    m.rows[0].port = port;
  }

  platform::SocketHandle socket;
  std::uint16_t port = 0;
};

}  // namespace test
