#pragma once
// What one emulated module is: its identity, the named fields of its configuration
// record, its sensor readings and the faults it plays. Filled by the config parser.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

using Mac = std::array<std::uint8_t, 6>;
using Ipv4 = std::array<std::uint8_t, 4>;  // dotted order: first octet first

inline constexpr std::uint16_t discovery_port = 30718;
inline constexpr std::uint16_t snmp_port = 161;
inline constexpr std::size_t record_size_bytes = 120;

// Bytes written over the encoded record after the named fields ("OFFSET:HEXBYTES").
struct RecordPatch {
  std::size_t offset = 0;
  std::vector<std::uint8_t> bytes;
};

// How a reply leaves the module: length forced (truncated or zero-padded), command byte replaced.
struct ReplyShape {
  bool silent = false;
  unsigned silent_first = 0;  // the first queries go unanswered (the sender's retry is answered)
  std::optional<std::size_t> length_bytes;
  std::optional<std::uint8_t> command;
};

// The Wi-Fi settings of a wireless module's block (codes as in the block's bytes 1, 2, 71).
struct WifiConfig {
  std::string ssid = "plant-net";
  bool adhoc = false;
  std::uint8_t channel = 6;
  std::uint8_t suite = 1;   // 0 none, 1 WEP, 2 WPA_PSK, 3 WPA2_PSK
  std::uint8_t auth = 0;    // 0 open, 1 shared
  std::uint8_t method = 1;  // 0 none, 1 WEP64, 2 WEP128, 3 TKIP, 4 CCMP
  std::uint8_t key_type = 0;  // 0 hex, 1 passphrase
  std::uint8_t key_index = 0;
  std::vector<std::uint8_t> key{0x0A, 0x1B, 0x2C, 0x3D, 0x4E};  // hex bytes or passphrase text
};

struct ModuleConfig {
  std::string source;  // "FILE:LINE" of the section, for messages
  Mac mac{};
  std::array<char, 2> device_type{'Q', '8'};
  Ipv4 bind{};  // 0.0.0.0: every address of the namespace

  // Named fields of the configuration record.
  Ipv4 ip{};
  std::uint8_t host_bits = 8;
  Ipv4 gateway{};
  std::uint8_t baud_code = 9;
  std::uint16_t port = 10050;
  std::uint16_t server_port = 0;
  Ipv4 server_ip{};
  std::array<std::uint8_t, 2> mode_bytes{0xC0, 0x00};  // record bytes 28, 29 (TCP)
  std::uint8_t firmware_level = 0;
  std::uint8_t snmp_byte = 0;
  std::uint16_t module_code = 0;
  std::uint8_t upload_interval = 0;
  unsigned upload_interval_ms = 0;  // active-upload period for tests; 0: the one upload_interval gives
  std::uint8_t server_by_name = 0;
  Ipv4 dns_ip{};
  std::string server_name;
  std::vector<RecordPatch> record_patches;

  // Readings served on the data port and by the SNMP agent.
  std::optional<double> temperature_c = 23.5;  // nullopt: not available (FFFF)
  std::optional<double> humidity_percent = 45.6;
  std::uint8_t digital_inputs = 0;  // DI5..DI0 in bits 5..0
  std::uint8_t firmware_d1 = 0x71;
  std::uint8_t capability_d7 = 0x33;
  std::string snmp_name = "9A1";

  // Faults.
  ReplyShape device_reply;
  ReplyShape config_reply;
  unsigned reply_delay_ms = 0;
  unsigned silent_requests = 0;
  unsigned answered_queries = 0;  // answer only the first N discovery queries; 0: all
  std::optional<std::size_t> data_reply_length_bytes;
  bool bad_lrc = false;
  bool lower_case_hex = false;
  bool refuse_tcp = false;
  bool oversize_before_reply = false;  // UDP: each reading reply comes after a copy one byte longer
  bool empty_udp_reply = false;        // UDP: reading requests answered with an empty datagram
  bool half_close_tcp = false;         // shut the sending side of each data-port connection at once
  bool no_presence_answer = false;
  // Setup port (TCP 9999).
  std::string setup_password = "0000";
  bool no_password_prompt = false;
  bool short_menu = false;

  // Parameter writes.
  WifiConfig wifi;
  unsigned restart_delay_ms = 1000;  // from the acknowledgement to taking the new record
  bool no_set_ack = false;
  std::optional<Ipv4> set_ack_source;  // acknowledge from this extra address of the namespace
  std::size_t wireless_reply_length_bytes = 257;
  bool wireless_bad_checksum = false;
  unsigned wireless_stale_replies = 0;  // replies with an older block sent before the real one
  bool no_wireless_ack = false;

  bool wireless() const { return device_type[0] == 'W' && device_type[1] == '8'; }
  bool snmp_mode() const { return mode_bytes[0] == 0xCC && mode_bytes[1] == 0x02; }
};

}  // namespace sim
