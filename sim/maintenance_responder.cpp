#include "maintenance_responder.h"

#include <cstdio>
#include <vector>

namespace sim {
namespace {

constexpr std::uint8_t probe_command = 0x95;
constexpr std::uint8_t probe_answer_command = 0x96;

}  // namespace

MaintenanceResponder::~MaintenanceResponder() {
  if (socket_.valid()) loop_.unwatch(socket_.get());
}

std::string MaintenanceResponder::start() {
  std::string error;
  socket_ = open_udp_socket({state_.config.bind, maintenance_port}, error);
  if (!socket_.valid()) return error;
  loop_.watch(socket_.get(), [this] {
    ReceivedDatagram d;
    while (receive_datagram(socket_.get(), d)) on_datagram(d);
  });
  return {};
}

void MaintenanceResponder::on_datagram(const ReceivedDatagram& d) {
  const auto& p = d.payload;
  const Mac& mac = state_.config.mac;
  if (p.size() == 4 && p[0] == 0 && p[1] == probe_command) {
    std::fprintf(stderr, "module-emulator: presence probe %02X %02X from %s:%u\n", p[2], p[3],
                 to_text(d.source.address).c_str(), d.source.port);
    if (p[2] != mac[4] || p[3] != mac[5] || state_.config.no_presence_answer) return;
    const Ipv4& ip = state_.config.ip;
    std::vector<std::uint8_t> answer{0, probe_answer_command, p[2], p[3], ip[0], ip[1], ip[2], ip[3]};
    loop_.after_ms(state_.config.reply_delay_ms, [this, to = d.source, answer = std::move(answer)] {
      send_datagram(socket_.get(), to, answer);
    });
  }
}

}  // namespace sim
