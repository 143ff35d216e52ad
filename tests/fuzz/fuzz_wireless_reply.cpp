// Datagrams on the Maintenance port as the wireless exchanges see them: nothing reads out of
// bounds (which replies and acknowledgements are taken is WirelessFrames').
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/wireless_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const config::MacTail tail{0x12, 0x34};
  config::parse_wireless_reply(bytes, tail);
  config::is_wireless_write_ack(bytes, tail);
  return 0;
}
