// Datagrams on the Maintenance port as the wireless exchanges see them: a reply is taken
// only when it is exactly 257 bytes for this module with a matching XOR, and then its block
// is bytes 5..201; an acknowledgement only when it is exactly 00 D8 and the MAC tail.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "config/wireless_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const config::MacTail tail{0x12, 0x34};
  if (const auto block = config::parse_wireless_reply(bytes, tail)) {
    if (size != 257 || data[0] != 0 || data[1] != 0xE8 || data[2] != 0x12 || data[3] != 0x34) std::abort();
    std::uint8_t x = 0;
    for (std::size_t i = 5; i < size; ++i) x ^= data[i];
    if (x != data[4] || !std::equal(block->begin(), block->end(), data + 5)) std::abort();
    // The same block written back makes a frame that parses as a reply once its command is E8.
    auto frame = config::wireless_write_request(tail, *block);
    frame[1] = 0xE8;
    std::copy(data + 202, data + 257, frame.begin() + 202);
    frame[4] = config::wireless_checksum(frame);
    if (frame[4] != data[4]) std::abort();
  }
  if (config::is_wireless_write_ack(bytes, tail) && (size != 4 || data[1] != 0xD8)) std::abort();
  return 0;
}
