#include "emulated_module.h"

#include <cstdio>

#include "active_uploader.h"
#include "data_port_responder.h"
#include "discovery_responder.h"
#include "maintenance_responder.h"
#include "namespace_address.h"
#include "setup_port_responder.h"
#include "snmp_responder.h"
#include "sockets.h"

namespace sim {
namespace {

bool dynamic_address(const Ipv4& ip) { return ip == Ipv4{} || ip == Ipv4{0, 0, 1, 0}; }

}  // namespace

EmulatedModule::EmulatedModule(ModuleConfig config, EventLoop& loop) : loop_(loop) {
  state_.config = std::move(config);
  state_.record = encode_configuration_record(state_.config);
  state_.wireless_block = encode_wireless_block(state_.config.wifi);
  state_.restart_with = [this](const ConfigurationRecord& record) { restart(record); };
  make_responders();
}

void EmulatedModule::make_responders() {
  responders_.push_back(std::make_unique<DiscoveryResponder>(state_, loop_));
  responders_.push_back(std::make_unique<DataPortResponder>(state_, loop_));
  responders_.push_back(std::make_unique<MaintenanceResponder>(state_, loop_));
  responders_.push_back(std::make_unique<SetupPortResponder>(state_, loop_));
  if (state_.config.snmp_mode()) responders_.push_back(std::make_unique<SnmpResponder>(state_, loop_));
  if (active_upload_mode(state_.config)) responders_.push_back(std::make_unique<ActiveUploader>(state_, loop_));
}

std::string EmulatedModule::start() {
  scope_ = loop_.new_scope();
  const int outer = loop_.current_scope();
  loop_.set_current_scope(scope_);
  std::string failed;
  for (auto& responder : responders_) {
    failed = responder->start();
    if (!failed.empty()) break;
  }
  loop_.set_current_scope(outer);
  if (failed.empty()) return {};
  const Mac& m = state_.config.mac;
  char mac[18];
  std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4], m[5]);
  return state_.config.source + " (module " + mac + "): " + failed;
}

void EmulatedModule::restart(const ConfigurationRecord& record) {
  ModuleConfig& c = state_.config;
  const Ipv4 old_ip = c.ip, old_gateway = c.gateway;
  const std::uint8_t old_host_bits = c.host_bits;
  decode_configuration_record(record, c);
  state_.record = record;
  const bool moved = c.ip != old_ip || c.gateway != old_gateway || c.host_bits != old_host_bits;
  if (moved && !dynamic_address(c.ip)) {
    const int prefix = prefix_length_from_host_bits(c.host_bits, current_prefix_length());
    const std::string error = move_namespace_address(c.ip, prefix, c.gateway);
    if (!error.empty()) std::fprintf(stderr, "module-emulator: warning: %s\n", error.c_str());
    if (c.bind != Ipv4{}) c.bind = c.ip;
  }
  // The old handlers' sockets, watches and timers go; the new ones open for the new record.
  loop_.drop_scope(scope_);
  responders_.clear();
  make_responders();
  const std::string error = start();
  std::fprintf(stderr, "module-emulator: restarted at %s port %u mode %02X %02X%s%s\n", to_text(c.ip).c_str(), c.port,
               c.mode_bytes[0], c.mode_bytes[1], error.empty() ? "" : ", failed: ", error.c_str());
}

}  // namespace sim
