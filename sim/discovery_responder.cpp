#include "discovery_responder.h"

#include <cstdio>

#include "address_assignment.h"
#include "discovery_datagrams.h"

namespace sim {

std::string DiscoveryResponder::start() {
  std::string error;
  socket_ = open_udp_socket({state_.config.bind, discovery_port}, error);
  if (!socket_.valid()) return error;
  loop_.watch(socket_.get(), [this] {
    ReceivedDatagram d;
    while (receive_datagram(socket_.get(), d)) on_datagram(DuplicateFilter::Path::socket, d);
  });
  error = listener_.open(state_.config.bind, discovery_port);
  if (!error.empty()) {
    // Still useful without it (e.g. unprivileged on loopback): only foreign-subnet broadcasts go unseen.
    std::fprintf(stderr, "module-emulator: warning: %s: broadcasts to other subnets are not seen\n", error.c_str());
    return {};
  }
  loop_.watch(listener_.fd(), [this] {
    while (auto d = listener_.read()) on_datagram(DuplicateFilter::Path::listener, *d);
  });
  return {};
}

void DiscoveryResponder::on_datagram(DuplicateFilter::Path path, const ReceivedDatagram& d) {
  if (auto address = parse_address_assignment(d.payload, state_.config.mac)) {
    if (duplicates_.admit(path, d, DuplicateFilter::Clock::now())) take_assigned_address(state_, loop_, *address);
    return;
  }
  const auto query = parse_discovery_query(d.payload);
  if (!query) return;
  if (!duplicates_.admit(path, d, DuplicateFilter::Clock::now())) return;
  const ModuleConfig& c = state_.config;
  const bool device = *query == DiscoveryQuery::device;
  if ((device ? c.device_reply : c.config_reply).silent) return;
  auto reply = device ? encode_device_reply(c) : encode_configuration_reply(state_.record, c.config_reply);
  loop_.after_ms(c.reply_delay_ms, [this, to = d.source, reply = std::move(reply)] {
    send_datagram(socket_.get(), to, reply);
  });
}

}  // namespace sim
