#pragma once
// The SNMP agent of a module in SNMP work mode: answers the name and reading GetRequests on UDP 161.
#include <string>

#include "emulated_module.h"
#include "sockets.h"

namespace sim {

class SnmpResponder : public Responder {
 public:
  SnmpResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  void on_datagram(const ReceivedDatagram& datagram);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle socket_;
};

}  // namespace sim
