// Configuration replies from the network: a datagram is decoded only when it is exactly a
// configuration reply, and every 124-byte slice is also decoded as if it were one, then the
// rows are ordered, classified and listed. Decoding never reads out of bounds, the list
// order names each decoded row at most once and every listed position has a line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "discovery/discovery_datagrams.h"
#include "discovery/search_result_line.h"
#include "platform/ipv4_address.h"

namespace {

netenv::AdapterTable two_subnets() {
  netenv::AdapterTable adapters;
  adapters.address_count = 2;
  adapters.addresses[0] = {
      .ip = platform::Ipv4Address::from_host_order(0xC0A8010A), .mask = platform::Ipv4Address::from_host_order(0xFFFFFF00), .adapter = 0};
  adapters.addresses[1] = {
      .ip = platform::Ipv4Address::from_host_order(0x0A000001), .mask = platform::Ipv4Address::from_host_order(0xFF000000), .adapter = 1};
  return adapters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const netenv::AdapterTable adapters = two_subnets();
  discovery::ModuleTable table;
  int rows = 0;
  if (discovery::is_configuration_reply(bytes)) {
    discovery::decode_configuration_reply(table, rows++, bytes.first<discovery::configuration_reply_bytes>(), {}, 0);
  }
  for (std::size_t at = 0; at + discovery::configuration_reply_bytes <= size && rows < discovery::max_rows;
       at += discovery::configuration_reply_bytes) {
    const auto reply = bytes.subspan(at).first<discovery::configuration_reply_bytes>();
    // Header bytes 1 and 2 are never decoded: they choose the entry (some beyond the table)
    // and the reply source.
    discovery::decode_configuration_reply(table, rows++, reply, platform::Ipv4Address::from_octets(0, 0, 0, reply[2]), reply[1] % 4);
  }

  table.found_count = rows;
  discovery::order_rows(table, adapters);
  discovery::classify_rows(table, adapters, discovery::default_expected_port);
  if (table.shown_count != table.inside_count + table.outside_count || table.shown_count > rows) __builtin_trap();
  std::array<bool, discovery::max_rows> listed{};
  for (int a = 0; a < table.shown_count; ++a) {
    const int r = table.display_order[a];
    if (r < 0 || r >= rows || listed[r]) __builtin_trap();
    listed[r] = true;
    if (discovery::search_result_line(table, adapters, a).empty()) __builtin_trap();
  }
  return 0;
}
