// The probe's ICMP bytes: echo request, reply check and unreachable-report check. The checksum
// shows in the golden request, and in the LAN tests, whose kernels answer only requests whose
// checksum verifies.
#include "tools/icmp_echo.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/icmp_test_packets.h"

namespace {

using test::Packet;
using test::ipv4;

// Identifier 0x1234 and tick 0x0A0B0C0D stored little-endian, the checksum (0x3397) big-endian.
TEST(EchoRequest, GoldenBytes) {
  Packet expected = {0x08, 0x00, 0x33, 0x97, 0x34, 0x12, 0x02, 0x00, 0x0D, 0x0C, 0x0B, 0x0A};
  expected.insert(expected.end(), test::probe_text.begin(), test::probe_text.end());
  expected.push_back(0x00);
  auto request = tools::build_echo_request(0x1234, 2, 0x0A0B0C0D);
  EXPECT_EQ(Packet(request.begin(), request.end()), expected);
}

TEST(EchoReply, AcceptsOnlyThisProgramsReplyFromTheTarget) {
  const platform::Ipv4Address target = ipv4("192.168.1.100");
  const std::uint16_t id = 0xBEEF;
  auto with = [](Packet p, std::size_t at, std::uint8_t value) {
    p[at] = value;
    return p;
  };
  const Packet reply = test::echo_reply_packet("192.168.1.100", id);
  Packet truncated_options = test::echo_reply_packet("192.168.1.100", id);
  truncated_options[0] = 0x4F;  // a 60-byte header in a 64-byte packet: the identifier lies beyond it
  Packet longer = reply;
  longer.push_back(0);  // bytes beyond the total length do not matter
  struct Case {
    const char* name;
    Packet packet;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"reply", reply, true},
      {"with 4 bytes of IP options", test::echo_reply_packet("192.168.1.100", id, 4), true},
      {"with 40 bytes of IP options", test::echo_reply_packet("192.168.1.100", id, 40), true},
      {"longer than its total length", longer, true},
      {"options but total length 64", with(test::echo_reply_packet("192.168.1.100", id, 4), 3, 64), false},
      {"another identifier", test::echo_reply_packet("192.168.1.100", 0xEFBE), false},
      {"another source", test::echo_reply_packet("192.168.1.101", id), false},
      {"protocol UDP", with(reply, 9, 17), false},
      {"type echo request", with(reply, 20, 8), false},
      {"total length 65", with(reply, 3, 65), false},
      {"59 bytes", Packet(reply.begin(), reply.begin() + 59), false},
      {"header length beyond the packet", truncated_options, false},
      {"empty", {}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(tools::is_echo_reply(c.packet, target, id), c.accepted) << c.name;
}

TEST(UnreachableReport, MatchesOnlyNetworkUnreachableAboutOurRequestToTheTarget) {
  const platform::Ipv4Address adapter = ipv4("192.168.5.3");
  const platform::Ipv4Address target = ipv4("203.0.113.10");
  auto frame = [](auto change) {
    test::ReportFields fields;
    change(fields);
    return test::unreachable_report_frame(fields);
  };
  Packet not_ip = test::unreachable_report_frame();
  not_ip[23] = 17;
  const Packet report = test::unreachable_report_frame();
  struct Case {
    const char* name;
    Packet frame;
    bool matches;
  };
  const std::vector<Case> cases = {
      {"report", report, true},
      {"78 bytes", Packet(report.begin(), report.begin() + 78), true},
      {"77 bytes", Packet(report.begin(), report.begin() + 77), false},
      {"total length 71", frame([](auto& f) { f.total_length = 71; }), true},
      {"total length 70", frame([](auto& f) { f.total_length = 70; }), false},
      {"protocol UDP", not_ip, false},
      {"to another adapter", frame([](auto& f) { f.to = "192.168.1.10"; }), false},
      {"host unreachable", frame([](auto& f) { f.code = 1; }), false},
      {"time exceeded", frame([](auto& f) { f.type = 11; }), false},
      {"about another destination", frame([](auto& f) { f.about = "203.0.113.11"; }), false},
      {"about another program's request", frame([](auto& f) { f.quoted_text = "abcdefgh"; }), false},
      {"from any router", frame([](auto& f) { f.router = "10.1.1.1"; }), true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tools::is_network_unreachable_report(c.frame, adapter, target), c.matches) << c.name;
}

}  // namespace
