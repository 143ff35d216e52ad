#pragma once
// Discovery replies and Adapter tables for the discovery tests, written byte by byte from
// the datagram and record layouts, independently of the product's own constants.
#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "netenv/adapter_table.h"
#include "support/ipv4_text.h"

namespace discovery_test {

// A 124-byte configuration reply: 00 00 00 F9, then the 120-byte record.
struct ConfigurationReply {
  std::array<std::uint8_t, 124> bytes{0, 0, 0, 0xF9};

  // Writes values at a record offset (datagram offset + 4).
  ConfigurationReply& record(int offset, std::initializer_list<std::uint8_t> values) {
    int at = 4 + offset;
    for (std::uint8_t v : values) bytes.at(at++) = v;
    return *this;
  }
};

// The record of a wired module in TCP mode: 192.168.1.100/24 host bits 8, gateway
// 192.168.1.1, baud code 9 (57600), port 10050, firmware level 0x31.
inline ConfigurationReply tcp_module_reply() {
  ConfigurationReply reply;
  reply.record(0, {192, 168, 1, 100})
      .record(6, {8})
      .record(12, {192, 168, 1, 1})
      .record(17, {9})
      .record(20, {0x42, 0x27})
      .record(28, {0xC0, 0x00})
      .record(32, {0x31});
  return reply;
}

// A 30-byte device reply: 00 00 00 F7, the two type code characters at 8..9, MAC at 24..29.
inline std::array<std::uint8_t, 30> device_reply_bytes(const char* type, std::array<std::uint8_t, 6> mac) {
  std::array<std::uint8_t, 30> bytes{0, 0, 0, 0xF7};
  bytes[8] = static_cast<std::uint8_t>(type[0]);
  bytes[9] = static_cast<std::uint8_t>(type[1]);
  for (int i = 0; i < 6; ++i) bytes[24 + i] = mac[i];
  return bytes;
}

using test::ipv4;

struct TestAddress {
  std::string ip, mask;
  int adapter;
};

// An Adapter table holding just the given address entries.
inline netenv::AdapterTable adapters_with(const std::vector<TestAddress>& entries) {
  netenv::AdapterTable table;
  for (const TestAddress& e : entries) {
    netenv::AddressEntry& entry = table.addresses.at(table.address_count++);
    entry.ip = ipv4(e.ip);
    entry.mask = ipv4(e.mask);
    entry.adapter = e.adapter;
    table.adapter_count = std::max(table.adapter_count, e.adapter + 1);
  }
  table.adapter_table_valid = true;
  return table;
}

}  // namespace discovery_test
