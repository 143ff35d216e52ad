#include "discovery_responder.h"

#include <cstdio>

#include "address_assignment.h"
#include "discovery_datagrams.h"
#include "namespace_address.h"

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
  if (path == DuplicateFilter::Path::socket) {
    if (const auto record = parse_set_configuration(d.payload)) return on_set_configuration(d, *record);
  }
  const auto query = parse_discovery_query(d.payload);
  if (!query) return;
  if (!duplicates_.admit(path, d, DuplicateFilter::Clock::now())) return;
  const ModuleConfig& c = state_.config;
  const bool device = *query == DiscoveryQuery::device;
  const ReplyShape& shape = device ? c.device_reply : c.config_reply;
  if (shape.silent || queries_seen_[device ? 0 : 1]++ < shape.silent_first) return;
  if (c.answered_queries != 0 && queries_answered_ == c.answered_queries) return;
  ++queries_answered_;
  auto reply = device ? encode_device_reply(c) : encode_configuration_reply(state_.record, c.config_reply);
  loop_.after_ms(c.reply_delay_ms, [this, to = d.source, reply = std::move(reply)] {
    send_datagram(socket_.get(), to, reply);
  });
}

void DiscoveryResponder::on_set_configuration(const ReceivedDatagram& d, const ConfigurationRecord& record) {
  std::fprintf(stderr, "module-emulator: set-configuration from %s record %s\n", to_text(d.source.address).c_str(),
               hex_text(record).c_str());
  std::fprintf(stderr, "module-emulator: set-configuration changed %s\n",
               changed_offsets_text(state_.record, record).c_str());
  const ModuleConfig& c = state_.config;
  if (!c.no_set_ack) {
    int from = socket_.get();
    FdHandle other;
    if (c.set_ack_source) {
      std::string error = add_namespace_address(*c.set_ack_source);
      if (error.empty()) other = open_udp_socket({*c.set_ack_source, 0}, error);
      if (!other.valid()) std::fprintf(stderr, "module-emulator: warning: %s\n", error.c_str());
      from = other.valid() ? other.get() : from;
    }
    // Logged before it leaves, so that whoever has the acknowledgement also finds the line.
    if (other.valid()) std::fprintf(stderr, "module-emulator: set-configuration acknowledged from %s\n", to_text(*c.set_ack_source).c_str());
    send_datagram(from, d.source, encode_set_configuration_ack());
  }
  // The restart outlives this handler (it replaces it): its timer belongs to the loop itself.
  const int scope = loop_.current_scope();
  loop_.set_current_scope(0);
  loop_.after_ms(c.restart_delay_ms, [restart = state_.restart_with, record] { restart(record); });
  loop_.set_current_scope(scope);
}

}  // namespace sim
