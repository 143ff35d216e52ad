#include "snmp_responder.h"

#include "snmp_frames.h"

namespace sim {

std::string SnmpResponder::start() {
  std::string error;
  socket_ = open_udp_socket({state_.config.bind, snmp_port}, error);
  if (!socket_.valid()) return error;
  loop_.watch(socket_.get(), [this] {
    ReceivedDatagram d;
    while (receive_datagram(socket_.get(), d)) on_datagram(d);
  });
  return {};
}

void SnmpResponder::on_datagram(const ReceivedDatagram& d) {
  const auto request = parse_snmp_request(d.payload);
  if (!request || !state_.admit_data_request()) return;
  loop_.after_ms(state_.config.reply_delay_ms, [this, to = d.source, reply = encode_snmp_reply(*request, state_.config)] {
    send_datagram(socket_.get(), to, reply);
  });
}

}  // namespace sim
