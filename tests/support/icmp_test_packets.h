#pragma once
// Echo replies as the raw ICMP socket delivers them (IP header first) and captured Ethernet
// frames carrying an ICMP "destination unreachable", laid out byte by byte here rather than
// with the product's code, so that a wrong offset on either side shows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/arp_test_frames.h"

namespace test {

using Packet = std::vector<std::uint8_t>;

constexpr std::string_view probe_text = "mqv9kremoteicmptestifhasonline-";

inline void put_ip(Packet& p, std::size_t at, const std::string& dotted) {
  auto bytes = ip_bytes(dotted);
  for (std::size_t i = 0; i < 4; ++i) p[at + i] = bytes[i];
}

// An echo reply from source to 192.168.1.10 with an IP header of 20 + options_bytes bytes;
// the identifier is stored little-endian like the request's.
inline Packet echo_reply_packet(const std::string& source, std::uint16_t identifier, std::size_t options_bytes = 0) {
  const std::size_t h = 20 + options_bytes;
  Packet p(h + 44, 0);
  p[0] = static_cast<std::uint8_t>(0x40 | h / 4);
  p[2] = static_cast<std::uint8_t>((h + 44) >> 8);
  p[3] = static_cast<std::uint8_t>(h + 44);
  p[8] = 64;
  p[9] = 1;
  put_ip(p, 12, source);
  put_ip(p, 16, "192.168.1.10");
  for (std::size_t i = 20; i < h; ++i) p[i] = 0x01;  // no-operation options
  p[h + 4] = static_cast<std::uint8_t>(identifier);
  p[h + 5] = static_cast<std::uint8_t>(identifier >> 8);
  for (std::size_t i = 0; i < probe_text.size(); ++i) p[h + 12 + i] = static_cast<std::uint8_t>(probe_text[i]);
  return p;
}

struct ReportFields {
  std::string router = "192.168.5.1";
  std::string to = "192.168.5.3";            // the adapter the report is sent to
  std::string about = "203.0.113.10";        // destination of the quoted request
  std::uint8_t type = 3;
  std::uint8_t code = 0;
  std::uint16_t total_length = 20 + 8 + 64;  // the report with 64 bytes of the request quoted
  std::string_view quoted_text = probe_text;
};

// The frame as a capture of 100 bytes holds it: Ethernet, IP, ICMP, the quoted IP header and
// the first bytes of the quoted echo request (tick count at 70, text from 74).
inline Packet unreachable_report_frame(const ReportFields& f = {}) {
  Packet p(100, 0);
  for (std::size_t i = 0; i < 6; ++i) p[i] = 0x02;
  p[6] = 0x02;
  p[11] = 0x01;
  p[12] = 0x08;
  p[14] = 0x45;
  p[16] = static_cast<std::uint8_t>(f.total_length >> 8);
  p[17] = static_cast<std::uint8_t>(f.total_length);
  p[22] = 64;
  p[23] = 1;
  put_ip(p, 26, f.router);
  put_ip(p, 30, f.to);
  p[34] = f.type;
  p[35] = f.code;
  p[42] = 0x45;
  p[45] = 64;
  p[51] = 1;
  put_ip(p, 54, f.to);
  put_ip(p, 58, f.about);
  p[62] = 8;
  for (std::size_t i = 0; i < f.quoted_text.size() && 74 + i < p.size(); ++i)
    p[74 + i] = static_cast<std::uint8_t>(f.quoted_text[i]);
  return p;
}

}  // namespace test
