#pragma once
// One emulated module: its config, its encoded configuration record, the state its
// protocol handlers share, and the handlers themselves (one per protocol).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "configuration_record.h"
#include "event_loop.h"
#include "module_config.h"
#include "wireless_frames.h"

namespace sim {

struct ModuleState {
  ModuleConfig config;
  ConfigurationRecord record{};
  unsigned data_requests_seen = 0;
  WirelessBlock wireless_block{};
  // Takes a written record as the module's own after the restart delay (set by the module).
  std::function<void(const ConfigurationRecord&)> restart_with;

  // Counts one request on the data port or the SNMP port; false for the first
  // `silent_requests` of them, which the module ignores.
  bool admit_data_request() { return ++data_requests_seen > config.silent_requests; }
};

// A protocol handler: opens its sockets and registers them with the loop in start().
class Responder {
 public:
  virtual ~Responder() = default;
  // Empty on success, else what failed.
  virtual std::string start() = 0;
};

class EmulatedModule {
 public:
  EmulatedModule(ModuleConfig config, EventLoop& loop);
  // Starts every handler; empty on success, else "module MAC: what failed".
  std::string start();

 private:
  void make_responders();
  // What a module does after a set-configuration: it restarts with the record as its own,
  // at its new address and with the services of its new work mode and port.
  void restart(const ConfigurationRecord& record);

  ModuleState state_;
  EventLoop& loop_;
  int scope_ = 0;  // the loop scope of the current handlers
  std::vector<std::unique_ptr<Responder>> responders_;
};

}  // namespace sim
