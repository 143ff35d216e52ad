#include "polling/query_frames.h"

#include <initializer_list>

namespace polling {

namespace {

constexpr std::uint8_t station = 0x00;
constexpr std::uint8_t read_input_registers = 0x04;
constexpr char upper_digits[] = "0123456789ABCDEF";

constexpr std::array<std::uint8_t, 6> community{'q', 'u', 'i', 'n', 'e', 'l'};
constexpr std::array<std::uint8_t, 8> name_oid{0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00};  // 1.3.6.1.2.1.1.5.0
constexpr std::array<std::uint8_t, 12> reading_oid{0x2B, 0x06, 0x01, 0x04, 0x01, 0xBC,
                                                   0x61, 0x01, 0x03, 0x01, 0x05, 0x00};  // 1.3.6.1.4.1.7777.1.3.1.5.0

// SEQUENCE { version 0, community, GetRequest { request-id 1 (two bytes), error-status 0,
// error-index 0, SEQUENCE { SEQUENCE { oid, NULL } } } }; every length fits one byte.
template <std::size_t OidBytes>
std::array<std::uint8_t, 33 + OidBytes> snmp_get_request(const std::array<std::uint8_t, OidBytes>& oid) {
  constexpr std::uint8_t binding = 2 + OidBytes + 2;
  constexpr std::uint8_t binding_list = 2 + binding;
  constexpr std::uint8_t pdu = 4 + 3 + 3 + 2 + binding_list;
  constexpr std::uint8_t message = 3 + 2 + community.size() + 2 + pdu;
  static_assert(message + 2 == 33 + OidBytes);

  std::array<std::uint8_t, 33 + OidBytes> frame{};
  std::size_t at = 0;
  auto put = [&](std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) frame[at++] = b;
  };
  put({0x30, message, 0x02, 0x01, 0x00, 0x04, community.size()});
  for (std::uint8_t c : community) put({c});
  put({0xA0, pdu, 0x02, 0x02, 0x00, 0x01, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00});
  put({0x30, binding_list, 0x30, binding, 0x06, OidBytes});
  for (std::uint8_t b : oid) put({b});
  put({0x05, 0x00});
  return frame;
}

std::uint8_t hex_digit(std::uint8_t c) {
  if (c >= 'a' && c <= 'f') c = static_cast<std::uint8_t>(c - 'a' + 'A');
  return static_cast<std::uint8_t>(c >= 'A' ? c - 0x37 : c - 0x30);
}

// Two's complement of the 8-bit sum of the bytes.
std::uint8_t lrc(std::span<const std::uint8_t> bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  return static_cast<std::uint8_t>(-sum);
}

}  // namespace

TextRequest text_request(std::uint16_t register_address, std::uint16_t register_count) {
  const std::array<std::uint8_t, 6> fields{station,
                                           read_input_registers,
                                           static_cast<std::uint8_t>(register_address >> 8),
                                           static_cast<std::uint8_t>(register_address & 0xFF),
                                           static_cast<std::uint8_t>(register_count >> 8),
                                           static_cast<std::uint8_t>(register_count & 0xFF)};
  TextRequest frame{};
  std::size_t at = 0;
  auto put_pair = [&](std::uint8_t b) {
    frame[at++] = static_cast<std::uint8_t>(upper_digits[b >> 4]);
    frame[at++] = static_cast<std::uint8_t>(upper_digits[b & 0x0F]);
  };
  frame[at++] = ':';
  for (std::uint8_t b : fields) put_pair(b);
  put_pair(lrc(fields));
  frame[at++] = '\r';
  frame[at++] = '\n';
  return frame;
}

TextRequest standard_reading_request() { return text_request(standard_register, reading_register_count); }
TextRequest extended_reading_request() { return text_request(extended_register, reading_register_count); }

std::array<std::uint8_t, snmp_name_request_bytes> snmp_name_request() { return snmp_get_request(name_oid); }
std::array<std::uint8_t, snmp_reading_request_bytes> snmp_reading_request() { return snmp_get_request(reading_oid); }

std::uint8_t hex_pair(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::uint8_t>(16 * hex_digit(high) + hex_digit(low));
}

bool text_reply_valid(std::span<const std::uint8_t> reply) {
  std::size_t count;
  if (reply.size() == standard_reply_bytes) {
    count = 8;
  } else if (reply.size() == extended_reply_bytes) {
    count = 16;
  } else {
    return false;
  }
  if (reply[0] != ':' || hex_pair(reply[5], reply[6]) != count) return false;
  // Station, function, count, N data bytes and the LRC.
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < count + 4; ++i) sum = static_cast<std::uint8_t>(sum + hex_pair(reply[1 + 2 * i], reply[2 + 2 * i]));
  return sum == 0;
}

bool offers_extended_reading(std::span<const std::uint8_t> reply) {
  if (reply.size() < capability_offset + 2) return false;
  return hex_pair(reply[firmware_offset], reply[firmware_offset + 1]) >= 0x70 &&
         hex_pair(reply[capability_offset], reply[capability_offset + 1]) >= 0x33;
}

}  // namespace polling
