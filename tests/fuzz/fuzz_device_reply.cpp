// Device replies from the network: a datagram is stored only when it is exactly a device
// reply, and every 30-byte slice is also stored as if it were one, each with a row whose
// configuration reply came from the same source; then the rows are paired and listed
// (which reply a row takes is Pairing's, in the unit tests).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "discovery/discovery_datagrams.h"
#include "discovery/search_result_line.h"
#include "platform/ipv4_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  discovery::ModuleTable table;
  if (discovery::is_device_reply(bytes)) {
    discovery::store_device_reply(table, bytes.first<discovery::device_reply_bytes>(), {});
  }
  for (std::size_t at = 0; at + discovery::device_reply_bytes <= size; at += discovery::device_reply_bytes) {
    const auto reply = bytes.subspan(at).first<discovery::device_reply_bytes>();
    // Bytes 4..7, never decoded, give the source; bytes 10..13 the row's record address.
    const auto source = platform::Ipv4Address::from_octets(reply[4], reply[5], reply[6], reply[7]);
    const int r = table.device_reply_count;
    discovery::store_device_reply(table, reply, source);
    std::array<std::uint8_t, discovery::configuration_reply_bytes> configuration{
        0, 0, 0, 0xF9, reply[10], reply[11], reply[12], reply[13]};
    discovery::decode_configuration_reply(table, r, configuration, source, 0);
  }
  if (table.device_reply_count > discovery::max_rows) __builtin_trap();

  discovery::pair_device_replies(table);

  netenv::AdapterTable adapters;
  adapters.address_count = 1;
  adapters.addresses[0] = {
      .ip = platform::Ipv4Address::from_host_order(0xC0A8010A), .mask = platform::Ipv4Address::from_host_order(0xFFFFFF00), .adapter = 0};
  table.found_count = table.device_reply_count;
  discovery::order_rows(table, adapters);
  for (int a = 0; a < table.shown_count; ++a) {
    if (discovery::search_result_line(table, adapters, a).empty()) __builtin_trap();
  }
  return 0;
}
