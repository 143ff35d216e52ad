#include "emulated_module.h"

#include <cstdio>

#include "active_uploader.h"
#include "data_port_responder.h"
#include "discovery_responder.h"
#include "maintenance_responder.h"
#include "setup_port_responder.h"
#include "snmp_responder.h"

namespace sim {

EmulatedModule::EmulatedModule(ModuleConfig config, EventLoop& loop) {
  state_.config = std::move(config);
  state_.record = encode_configuration_record(state_.config);
  responders_.push_back(std::make_unique<DiscoveryResponder>(state_, loop));
  responders_.push_back(std::make_unique<DataPortResponder>(state_, loop));
  responders_.push_back(std::make_unique<MaintenanceResponder>(state_, loop));
  responders_.push_back(std::make_unique<SetupPortResponder>(state_, loop));
  if (state_.config.snmp_mode()) responders_.push_back(std::make_unique<SnmpResponder>(state_, loop));
  if (active_upload_mode(state_.config)) responders_.push_back(std::make_unique<ActiveUploader>(state_, loop));
}

std::string EmulatedModule::start() {
  for (auto& responder : responders_) {
    const std::string error = responder->start();
    if (!error.empty()) {
      const Mac& m = state_.config.mac;
      char mac[18];
      std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4], m[5]);
      return state_.config.source + " (module " + mac + "): " + error;
    }
  }
  return {};
}

}  // namespace sim
