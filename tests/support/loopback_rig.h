#pragma once
// A PC whose only address is 127.0.0.1/32 (so the search's broadcasts stay on loopback) and
// a listed UDP sensor module there that receives every request and never answers.
#include <arpa/inet.h>
#include <sys/socket.h>

#include "app/program_context.h"
#include "platform/adapters.h"
#include "platform/socket_handle.h"

namespace test {

inline platform::AdapterListing loopback_adapter() {
  platform::AdapterListing listing;
  platform::PlatformAdapter adapter;
  adapter.type = 6;
  adapter.name = "lan1";
  adapter.addresses = {{"127.0.0.1", "255.255.255.255"}};
  listing.adapters = {adapter};
  return listing;
}

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
