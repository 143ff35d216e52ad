// The echo probe, the remote echo probe and the captured-reply probe, through a scripted
// probe socket and a fake capture link.
#include "tools/captured_reply_probe.h"
#include "tools/icmp_probe.h"

#include <gtest/gtest.h>

#include <deque>

#include "support/fake_raw_link.h"
#include "support/fake_wait_clock.h"
#include "support/icmp_test_packets.h"
#include "tools/icmp_echo.h"

namespace {

using platform::NextFrame;
using platform::WaitResult;
using test::ipv4;
using test::Packet;

constexpr std::uint16_t our_id = 0x4242;

// What one wait of the probe socket sees.
struct Incoming {
  WaitResult wait = WaitResult::timeout;
  Packet packet;
  bool receive_fails = false;
};

Incoming arrives(Packet packet) { return {WaitResult::ready, std::move(packet), false}; }
Incoming silence() { return {}; }
Incoming wait_error() { return {WaitResult::error, {}, false}; }
Incoming receive_error() { return {WaitResult::ready, {}, true}; }

struct Sent {
  platform::Ipv4Address local;
  platform::Ipv4Address target;
  Packet message;
};

// Every socket it opens reads from one script; sends are recorded with their socket's address.
class FakeIcmpLink final : public tools::IcmpLink {
 public:
  std::deque<Incoming> script;  // then time-outs for ever
  int open_status = 0;  // a platform::raw_socket_* code when opening fails
  bool sends_ok = true;
  std::vector<platform::Ipv4Address> opened;
  std::vector<Sent> sent;
  int waits = 0;

  tools::IcmpOpening open_socket(platform::Ipv4Address local) override {
    opened.push_back(local);
    if (open_status != 0) return {nullptr, open_status};
    return {std::make_unique<Socket>(*this, local), 0};
  }
  std::uint16_t identifier() override { return our_id; }
  platform::WaitClock& clock() override { return clock_; }
  test::FakeWaitClock clock_{0x01020304};

 private:
  class Socket final : public tools::IcmpSocket {
   public:
    Socket(FakeIcmpLink& link, platform::Ipv4Address local) : link_(link), local_(local) {}
    bool send(platform::Ipv4Address target, std::span<const std::uint8_t> message) override {
      link_.sent.push_back({local_, target, Packet(message.begin(), message.end())});
      return link_.sends_ok;
    }
    WaitResult wait_readable(long, long) override {  // the 2.2 s wait shows in the LAN tests
      ++link_.waits;
      current_ = {};
      if (!link_.script.empty()) {
        current_ = std::move(link_.script.front());
        link_.script.pop_front();
      }
      return current_.wait;
    }
    int receive(std::span<std::uint8_t> buffer) override {
      if (current_.receive_fails) return -1;
      std::size_t n = std::min(buffer.size(), current_.packet.size());
      std::copy_n(current_.packet.begin(), n, buffer.begin());
      return static_cast<int>(n);
    }

   private:
    FakeIcmpLink& link_;
    platform::Ipv4Address local_;
    Incoming current_;
  };
};

// Entry 0 192.168.1.10 on adapter 0 (device eth0), entry 1 192.168.5.3 on adapter 1 (eth1),
// entry 2 192.168.7.9 on adapter 1.
struct Fixture {
  netenv::AdapterTable adapters;
  FakeIcmpLink icmp;
  test::FakeRawLink link;
  rawlink::RawEthernetState state;

  Fixture() {
    adapters.adapter_count = 2;
    adapters.address_count = 3;
    adapters.addresses[0] = {ipv4("192.168.1.10"), ipv4("255.255.255.0"), 0};
    adapters.addresses[1] = {ipv4("192.168.5.3"), ipv4("255.255.255.0"), 1};
    adapters.addresses[2] = {ipv4("192.168.7.9"), ipv4("255.255.255.0"), 1};
    link.listing.devices = {{"eth0", "", ipv4("255.255.255.0")}, {"eth1", "", {}}};
    state.capture_devices = {"eth0", "eth1"};
    adapters.capture_device_adapter = {0, 1, 9, 9, 9, 9};
    adapters.capture_devices_matched = true;
    adapters.matched_device_count = 2;
  }
  int echo(int entry, const std::string& target) {
    return tools::echo_probe(adapters, icmp, entry, ipv4(target));
  }
  int captured(int entry, const std::string& target) {
    rawlink::RawEthernet raw{adapters, state, link, false};
    return tools::captured_reply_probe(raw, icmp, entry, ipv4(target));
  }
  void capture(const std::string& device, test::CaptureScript script) { link.scripts[device].push_back(std::move(script)); }
};

const std::string module_ip = "192.168.1.100";
Incoming reply() { return arrives(test::echo_reply_packet(module_ip, our_id)); }

// Three numbered requests from the entry's address on one socket; foreign packets restart the
// wait without ending the attempt.
TEST(EchoProbe, CountsTheAttemptsThatGetTheirReply) {
  Fixture f;
  Packet too_short = test::echo_reply_packet(module_ip, our_id);
  too_short.resize(59);
  f.icmp.script = {arrives(test::echo_reply_packet(module_ip, 0x4243)),   // another process
                   arrives(test::echo_reply_packet("192.168.1.101", our_id)),  // another address
                   arrives(too_short), reply(),                           // attempt 0
                   arrives(test::echo_reply_packet(module_ip, 1)), silence(),  // attempt 1
                   reply()};                                              // attempt 2
  EXPECT_EQ(f.echo(0, module_ip), 2);
  EXPECT_EQ(f.icmp.waits, 7);
  ASSERT_EQ(f.icmp.sent.size(), 3u);
  for (std::uint8_t sequence = 0; sequence < 3; ++sequence) {
    EXPECT_EQ(f.icmp.sent[sequence].local, ipv4("192.168.1.10"));
    EXPECT_EQ(f.icmp.sent[sequence].message[6], sequence);  // little-endian like the identifier
    EXPECT_EQ(f.icmp.sent[sequence].message[7], 0);
  }
  EXPECT_EQ(f.icmp.opened.size(), 1u);
}

TEST(EchoProbe, FailureCodes) {
  struct Case {
    const char* name;
    std::deque<Incoming> script;
    int open_status;
    bool sends_ok;
    int entry, result;
    std::size_t sends;
  };
  const std::vector<Case> cases = {
      {"socket not opened", {}, platform::raw_socket_bind_failed, true, 0, tools::echo_socket_failed, 0},
      {"no such entry", {}, 0, true, 3, tools::echo_socket_failed, 0},
      {"negative entry", {}, 0, true, -1, tools::echo_socket_failed, 0},
      {"send fails", {}, 0, false, 0, tools::echo_io_failed, 1},
      {"wait fails in attempt 1", {reply(), wait_error()}, 0, true, 0, tools::echo_wait_failed, 2},
      {"receive fails", {receive_error()}, 0, true, 0, tools::echo_io_failed, 1},
      {"nothing answers", {}, 0, true, 0, 0, 3},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.icmp.script = c.script;
    f.icmp.open_status = c.open_status;
    f.icmp.sends_ok = c.sends_ok;
    EXPECT_EQ(f.echo(c.entry, module_ip), c.result) << c.name;
    EXPECT_EQ(f.icmp.sent.size(), c.sends) << c.name;
  }
}

TEST(RemoteEchoProbe, StopsAtTheFirstEntryThatGetsAReply) {
  struct Case {
    const char* name;
    int address_count;
    std::deque<Incoming> script;
    int result, index;
    std::size_t sockets;
  };
  const std::vector<Case> cases = {
      {"second entry", 3, {silence(), silence(), silence(), silence(), reply()}, 1, 1, 2},
      {"empty table", 0, {reply()}, 0, 7, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.adapters.address_count = c.address_count;
    f.icmp.script = c.script;
    int index = 7;
    EXPECT_EQ(tools::remote_echo_probe(f.adapters, f.icmp, ipv4(module_ip), index), c.result) << c.name;
    EXPECT_EQ(index, c.index) << c.name;
    EXPECT_EQ(f.icmp.opened.size(), c.sockets) << c.name;
  }
  Fixture refused;
  refused.icmp.open_status = platform::raw_socket_not_permitted;
  int index = 7;
  EXPECT_EQ(tools::remote_echo_probe(refused.adapters, refused.icmp, ipv4(module_ip), index), tools::echo_not_permitted);
  EXPECT_EQ(refused.icmp.opened.size(), 1u);  // the other entries would be refused alike
}

test::ScriptedRead frame_read(Packet frame) { return {NextFrame::frame, std::move(frame)}; }
test::ScriptedRead timeout() { return {NextFrame::timeout, {}}; }
test::ScriptedRead read_error() { return {NextFrame::error, {}}; }

TEST(CapturedReplyProbe, SeesTheReportOnTheDeviceOfTheEntrysAdapter) {
  Fixture f;
  test::ReportFields other;
  other.about = "203.0.113.11";
  f.capture("eth1", {.reads = {timeout(), frame_read(test::unreachable_report_frame(other)), timeout(),
                               frame_read(test::unreachable_report_frame()), timeout()}});
  EXPECT_EQ(f.captured(1, "203.0.113.10"), 0);
  ASSERT_EQ(f.link.opens.size(), 1u);
  EXPECT_EQ(f.link.opens[0], (std::pair<std::string, int>{"eth1", 30}));
  ASSERT_EQ(f.link.filters.size(), 1u);
  EXPECT_EQ(f.link.filters[0].netmask, ipv4("255.255.255.0"));  // eth1 has no address
  ASSERT_EQ(f.icmp.sent.size(), 3u);
  for (const Sent& s : f.icmp.sent) EXPECT_EQ(s.message[6], 0);  // sequence 0 every time
  EXPECT_EQ(f.link.wait_clock.sleeps_ms(), (std::vector<int>{100, 100}));
}

TEST(CapturedReplyProbe, AReadErrorEndsOnlyThePassAndAFailedSendOnlyItsEcho) {
  for (bool echo_opens : {true, false}) {
    Fixture f;
    f.icmp.open_status = echo_opens ? 0 : platform::raw_socket_create_failed;
    f.capture("eth1", {.reads = {read_error(), frame_read(test::unreachable_report_frame())}});
    EXPECT_EQ(f.captured(1, "203.0.113.10"), 0) << echo_opens;
    EXPECT_EQ(f.icmp.opened.size(), 2u) << echo_opens;
  }
}

TEST(CapturedReplyProbe, FailureCodes) {
  struct Case {
    const char* name;
    void (*setup)(Fixture&);
    int entry, result;
  };
  const std::vector<Case> cases = {
      {"devices not matched", [](Fixture& f) { f.adapters.capture_devices_matched = false; }, 1,
       tools::report_devices_unmatched},
      {"no device for the adapter", [](Fixture& f) { f.adapters.capture_device_adapter[1] = 9; }, 1,
       tools::report_no_device},
      {"no such entry", [](Fixture&) {}, 3, tools::report_no_device},
      {"device list fails", [](Fixture& f) { f.link.listing.ok = false; }, 1, tools::report_list_failed},
      {"device gone from the list", [](Fixture& f) { f.link.listing.devices.pop_back(); }, 1,
       tools::report_open_failed},
      {"open fails", [](Fixture& f) { f.capture("eth1", {.open_status = platform::OpenStatus::failed}); }, 1,
       tools::report_open_failed},
      {"no right to capture",
       [](Fixture& f) { f.capture("eth1", {.open_status = platform::OpenStatus::permission_denied}); }, 1,
       tools::report_not_permitted},
      {"no right to send echo requests", [](Fixture& f) { f.icmp.open_status = platform::raw_socket_not_permitted; },
       1, tools::report_not_permitted},
      {"filter does not compile",
       [](Fixture& f) { f.capture("eth1", {.filter_result = platform::FilterResult::compile_failed}); }, 1,
       tools::report_compile_failed},
      {"filter not set", [](Fixture& f) { f.capture("eth1", {.filter_result = platform::FilterResult::set_failed}); },
       1, tools::report_set_failed},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.setup(f);
    EXPECT_EQ(f.captured(c.entry, "203.0.113.10"), c.result) << c.name;
    EXPECT_TRUE(f.icmp.sent.empty()) << c.name;
  }
}

}  // namespace
