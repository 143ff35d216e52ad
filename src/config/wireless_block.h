#pragma once
// Offsets and codes of the 197-byte Wireless parameter block (bytes 5..201 of the
// wireless frames), and the copies the program keeps of it. Bytes not named here are
// carried as the module reported them.
#include <cstddef>
#include <cstdint>

#include "config/wireless_frames.h"

namespace config::wifi {

constexpr std::size_t marker = 0;          // 127 after every OK of the dialog
constexpr std::size_t topology = 1;        // bit 0: 1 Ad-hoc; bits 4..7: channel
constexpr std::size_t security = 2;        // bits 0..1 suite, 2..4 authentication, 5..7 method
constexpr std::size_t ssid = 3;            // 33 bytes, zero-filled
constexpr std::size_t ssid_copy = 36;      // 33 bytes, the same text
constexpr std::size_t method = 69;         // method number again
constexpr std::size_t key_length = 70;     // bytes of a hex key, characters of a passphrase
constexpr std::size_t key_type = 71;       // bits 0..1: 0 hex, 1 passphrase
constexpr std::size_t key_index = 72;      // 0..3
constexpr std::size_t key = 133;           // 64 bytes
constexpr std::size_t ssid_bytes = 33;
constexpr std::size_t key_bytes = 64;
constexpr std::size_t hex_key_bytes = 32;  // what a hex key clears before it is written

constexpr std::uint8_t ok_marker = 127;
enum Suite : std::uint8_t { suite_none = 0, suite_wep = 1, suite_wpa = 2, suite_wpa2 = 3 };
enum Method : std::uint8_t { method_none = 0, method_wep64 = 1, method_wep128 = 2, method_tkip = 3, method_ccmp = 4 };
enum KeyType : std::uint8_t { key_hex = 0, key_passphrase = 1 };

}  // namespace config::wifi

namespace config {

// The as-read copy (what the last wireless read returned) and the edited copy (what the
// wireless dialog changes and a wireless write sends). A read overwrites both.
struct WirelessCopies {
  WirelessBlock as_read{};
  WirelessBlock edited{};
};

}  // namespace config
