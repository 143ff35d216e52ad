#include "address_assignment.h"

#include <cstdio>
#include <cstring>

#include "sockets.h"

namespace sim {

std::optional<Ipv4> parse_address_assignment(std::span<const std::uint8_t> d, const Mac& mac) {
  if (d.size() != 20 || d[0] != 0 || d[1] != 0 || d[2] != 0 || d[3] != 0xFC) return std::nullopt;
  if (std::memcmp(d.data() + 4, "IP-SETUP", 8) != 0 || d[12] != 0 || d[13] != 0) return std::nullopt;
  if (d[14] != mac[4] || d[15] != mac[5]) return std::nullopt;
  return Ipv4{d[16], d[17], d[18], d[19]};
}

void take_assigned_address(ModuleState& state, EventLoop& loop, const Ipv4& address) {
  std::fprintf(stderr, "module-emulator: address assignment %02X %02X -> %s\n", state.config.mac[4],
               state.config.mac[5], to_text(address).c_str());
  ConfigurationRecord record = state.record;
  for (std::size_t i = 0; i < 4; ++i) {
    record[i] = address[i];
    record[12 + i] = 0;  // no gateway
  }
  loop.after_ms(state.config.restart_delay_ms, [restart = state.restart_with, record] { restart(record); });
}

}  // namespace sim
