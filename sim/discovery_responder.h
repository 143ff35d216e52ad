#pragma once
// Answers the device and configuration queries on UDP 30718, to broadcast and unicast
// queries alike, always from the module's UDP socket so that its own kernel routes the reply
// (a module outside the querier's subnet therefore asks its gateway by ARP first).
#include <string>

#include "broadcast_listener.h"
#include "duplicate_filter.h"
#include "emulated_module.h"
#include "set_configuration.h"

namespace sim {

class DiscoveryResponder : public Responder {
 public:
  DiscoveryResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  void on_datagram(DuplicateFilter::Path path, const ReceivedDatagram& datagram);
  // A set-configuration request: logged, acknowledged, and taken after the restart delay.
  void on_set_configuration(const ReceivedDatagram& datagram, const ConfigurationRecord& record);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle socket_;
  BroadcastListener listener_;
  DuplicateFilter duplicates_;
  unsigned queries_seen_[2] = {0, 0};  // device, configuration
  unsigned queries_answered_ = 0;
};

}  // namespace sim
