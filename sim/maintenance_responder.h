#pragma once
// The module's Maintenance port, UDP 59950: the presence probe 00 95 A B (broadcast from
// the PC's port 12345), answered with 00 96 A B plus the module's IP when A B are the last
// two bytes of the module's MAC, sent back to the probe's source.
#include <string>

#include "emulated_module.h"
#include "sockets.h"

namespace sim {

inline constexpr std::uint16_t maintenance_port = 59950;

class MaintenanceResponder : public Responder {
 public:
  MaintenanceResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  ~MaintenanceResponder() override;
  std::string start() override;

 private:
  void on_datagram(const ReceivedDatagram& datagram);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle socket_;
};

}  // namespace sim
