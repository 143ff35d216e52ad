#pragma once
// The module's data port: the reading requests over TCP (one line per request, any number
// of connections) and over UDP (one request per datagram), on the configured port.
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "emulated_module.h"
#include "sockets.h"

namespace sim {

class DataPortResponder : public Responder {
 public:
  DataPortResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  struct Connection {
    FdHandle fd;
    std::string pending;  // bytes received after the last complete line
  };

  void accept_connection();
  void read_connection(std::uint64_t id);
  void close_connection(std::uint64_t id);
  void on_udp_datagram(const ReceivedDatagram& datagram);
  // The reply to one request, or nothing when the module ignores it.
  std::vector<std::uint8_t> answer(std::span<const std::uint8_t> request);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle udp_;
  FdHandle listener_;
  std::map<std::uint64_t, Connection> connections_;  // by serial number, never reused
  std::uint64_t next_connection_id_ = 1;
};

}  // namespace sim
