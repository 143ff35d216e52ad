#pragma once
// One emulated module: its config, its encoded configuration record, the state its
// protocol handlers share, and the handlers themselves (one per protocol).
#include <memory>
#include <string>
#include <vector>

#include "configuration_record.h"
#include "event_loop.h"
#include "module_config.h"

namespace sim {

struct ModuleState {
  ModuleConfig config;
  ConfigurationRecord record{};
  unsigned data_requests_seen = 0;

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
  ModuleState state_;
  std::vector<std::unique_ptr<Responder>> responders_;
};

}  // namespace sim
