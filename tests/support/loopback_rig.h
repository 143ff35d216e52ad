#pragma once
// A listed UDP sensor module on 127.0.0.1 that receives every request and never answers.
#include <arpa/inet.h>
#include <sys/socket.h>

#include "app/program_context.h"
#include "platform/socket_handle.h"

namespace test {

struct SilentModule {
  SilentModule() : socket(::socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }

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
