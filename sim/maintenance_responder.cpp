#include "maintenance_responder.h"

#include <cstdio>
#include <vector>

#include "set_configuration.h"
#include "wireless_frames.h"

namespace sim {
namespace {

constexpr std::uint8_t probe_command = 0x95;
constexpr std::uint8_t probe_answer_command = 0x96;
constexpr unsigned stale_reply_gap_ms = 20;  // far below the reader's 200 ms of silence, even on a loaded machine

}  // namespace

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
    send_later(d.source, {0, probe_answer_command, p[2], p[3], ip[0], ip[1], ip[2], ip[3]}, state_.config.reply_delay_ms);
    return;
  }
  if (state_.config.wireless()) on_wireless(d);
}

void MaintenanceResponder::send_later(const Endpoint& to, std::vector<std::uint8_t> bytes, unsigned delay_ms) {
  loop_.after_ms(delay_ms, [this, to, bytes = std::move(bytes)] { send_datagram(socket_.get(), to, bytes); });
}

void MaintenanceResponder::on_wireless(const ReceivedDatagram& d) {
  const ModuleConfig& c = state_.config;
  const MacTail tail{c.mac[4], c.mac[5]};
  if (is_wireless_read(d.payload, tail)) {
    std::fprintf(stderr, "module-emulator: wireless read from %s\n", to_text(d.source.address).c_str());
    // Stale replies first: a reader that stops early keeps an old block.
    WirelessBlock stale = state_.wireless_block;
    stale[3] = 'X';
    unsigned delay_ms = c.reply_delay_ms;
    for (unsigned k = 0; k < c.wireless_stale_replies; ++k, delay_ms += stale_reply_gap_ms) {
      send_later(d.source, encode_wireless_reply(tail, stale, wireless_frame_bytes, false), delay_ms);
    }
    send_later(d.source,
               encode_wireless_reply(tail, state_.wireless_block, c.wireless_reply_length_bytes, c.wireless_bad_checksum),
               delay_ms);
    return;
  }
  if (const auto block = parse_wireless_write(d.payload, tail)) {
    std::fprintf(stderr, "module-emulator: wireless write block %s\n", hex_text(*block).c_str());
    state_.wireless_block = *block;
    if (!c.no_wireless_ack) send_later(d.source, encode_wireless_ack(tail), c.reply_delay_ms);
  }
}

}  // namespace sim
