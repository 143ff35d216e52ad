// Datagrams that arrive after a set-configuration request: an acknowledgement is any
// datagram of at least four bytes whose byte 3 is FB, read through a 20-byte buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "config/set_configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> kept(data, std::min<std::size_t>(size, 20));
  const bool ack = config::is_set_configuration_ack(kept);
  if (ack != (size >= 4 && data[3] == 0xFB)) std::abort();
  return 0;
}
