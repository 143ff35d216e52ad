#include "config/set_configuration.h"

#include <algorithm>

namespace config {

std::array<std::uint8_t, discovery::set_configuration_bytes> set_configuration_request(
    std::span<const std::uint8_t, discovery::record_size> record) {
  std::array<std::uint8_t, discovery::set_configuration_bytes> frame{0, 0, 0, discovery::set_configuration_command};
  std::copy(record.begin(), record.end(), frame.begin() + discovery::header_bytes);
  return frame;
}

bool is_set_configuration_ack(std::span<const std::uint8_t> datagram) {
  // A datagram shorter than the header has no byte 3: it is not taken for one.
  return datagram.size() >= discovery::header_bytes && datagram[3] == discovery::set_configuration_ack_command;
}

}  // namespace config
