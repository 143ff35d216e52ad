#pragma once
// Frames of the data query. Text modules take a 17-byte request (":" + hexadecimal pairs of
// six bytes + LRC + CR LF) and answer 27 or 43 bytes in the same style; SNMP modules take a
// version 1 GetRequest on UDP 161.
//
//   reply  0   ':'
//          1   station (2 chars)   3 function (2)   5 data byte count N (2)
//          7   D0 .. D(N-1) (2 chars each)
//          7+2N LRC (2)            9+2N CR LF
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace polling {

constexpr int text_request_bytes = 17;
constexpr int standard_reply_bytes = 27;   // N = 8
constexpr int extended_reply_bytes = 43;   // N = 16
constexpr std::uint16_t standard_register = 0x5000;
constexpr std::uint16_t extended_register = 0x5080;
constexpr std::uint16_t reading_register_count = 8;

// Reply offsets of the data bytes the program reads.
constexpr std::size_t firmware_offset = 9;     // D1
constexpr std::size_t temperature_offset = 11; // D2, D3
constexpr std::size_t humidity_offset = 15;    // D4, D5
constexpr std::size_t capability_offset = 21;  // D7
constexpr std::size_t inputs_offset = 23;      // D8, extended reply only

constexpr std::uint16_t snmp_port = 161;
constexpr int snmp_name_request_bytes = 41;
constexpr int snmp_reading_request_bytes = 45;
constexpr int snmp_name_reply_max_bytes = 99;
constexpr int snmp_reading_reply_max_bytes = 70;

using TextRequest = std::array<std::uint8_t, text_request_bytes>;

// Request to station 00, function 04, for count registers from register_address.
TextRequest text_request(std::uint16_t register_address, std::uint16_t register_count);
TextRequest standard_reading_request();
TextRequest extended_reading_request();

std::array<std::uint8_t, snmp_name_request_bytes> snmp_name_request();
std::array<std::uint8_t, snmp_reading_request_bytes> snmp_reading_request();

// Byte of two hexadecimal characters, high first. Lower case counts as upper case; any
// other character decodes to some byte (code minus 0x37 from "A" on, else minus 0x30).
std::uint8_t hex_pair(std::uint8_t high, std::uint8_t low);

// A stored text reply (its size is the stored length) is valid when it is 27 bytes with
// N = 8 or 43 bytes with N = 16, starts with ":" and its pairs from offset 1 through the
// LRC sum to 0.
bool text_reply_valid(std::span<const std::uint8_t> reply);

// The module answers the extended reading: D1 >= 0x70 and D7 >= 0x33, read without
// validating the reply; false when the reply is too short to hold D7.
bool offers_extended_reading(std::span<const std::uint8_t> reply);

}  // namespace polling
