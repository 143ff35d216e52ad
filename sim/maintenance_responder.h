#pragma once
// The module's Maintenance port, UDP 59950: the presence probe 00 95 A B (broadcast from
// the PC's port 12345), answered with 00 96 A B plus the module's IP when A B are the last
// two bytes of the module's MAC, sent back to the probe's source; and, for a wireless module,
// the wireless block read (E8) and write (D8) of wireless_frames.h.
#include <string>

#include "emulated_module.h"
#include "sockets.h"

namespace sim {

inline constexpr std::uint16_t maintenance_port = 59950;

class MaintenanceResponder : public Responder {
 public:
  MaintenanceResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  void on_datagram(const ReceivedDatagram& datagram);
  void on_wireless(const ReceivedDatagram& datagram);
  void send_later(const Endpoint& to, std::vector<std::uint8_t> bytes, unsigned delay_ms);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle socket_;
};

}  // namespace sim
