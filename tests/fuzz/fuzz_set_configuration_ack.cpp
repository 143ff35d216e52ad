// Datagrams that arrive after a set-configuration request, read through a 20-byte buffer:
// nothing reads out of bounds (which are acknowledgements is SetConfigurationFrames').
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/set_configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  config::is_set_configuration_ack(std::span<const std::uint8_t>(data, std::min<std::size_t>(size, 20)));
  return 0;
}
