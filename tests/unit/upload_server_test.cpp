// The upload server over loopback: real sockets, readiness through the test's select loop,
// a fake clock for the times in the log.
#include "server/upload_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/fake_wait_clock.h"
#include "support/loopback_socket.h"
#include "support/scripted_view.h"

namespace {

using test::local_port;
using ui::ListId;

constexpr auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);

void send_text(const platform::SocketHandle& fd, const std::string& text) {
  ASSERT_EQ(::send(fd.fd(), text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
}

// Record of module n: MAC text 00204A0000nn, identifier 0001, 23.5 degrees, 45.6 %RH, inputs 0x25.
std::string record(int n) {
  char text[32];
  std::snprintf(text, sizeof text, "00204A0000%02d0001017801C825", n);
  return text;
}

const std::string readings = "     +23.500℃/45.6%RH  DI[5->0]: < 10 - 0101 >";

std::string port_text(const platform::SocketHandle& client) {
  char text[8];
  std::snprintf(text, sizeof text, "%5d", local_port(client.fd()));
  return text;
}

// One server on 127.0.0.1 with the scripted window, its log at 10:20:30 and tick 5000.
struct Rig {
  explicit Rig(bool tcp, bool raw_data_display = false) : type(tcp ? SOCK_STREAM : SOCK_DGRAM) {
    adapters.address_count = 1;
    adapters.addresses[0].ip = loopback;
    adapters.adapter_table_valid = true;
    settings.protocol = tcp ? discovery::atcp : discovery::audp;
    settings.port = local_port(test::loopback_socket(type).fd());  // free a moment ago
    settings.raw_data_display = raw_data_display;
    clock.set_local_time(test::local_time(2026, 12, 7, 10, 20, 30));
  }

  // Starts and writes the banner.
  int start() {
    const int result = server.start_server();
    if (result == 0) server.banner();
    return result;
  }

  // A client connected to the server (a connected datagram socket for UDP).
  platform::SocketHandle client() {
    platform::SocketHandle fd = test::loopback_socket(type);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = loopback.network_order();
    to.sin_port = htons(settings.port);
    EXPECT_EQ(::connect(fd.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
    return fd;
  }

  // Runs the select loop until done() holds; false after two seconds without it.
  bool pump_until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      view.watcher.dispatch(20);
    }
    return true;
  }
  bool pump_until_log_has(std::size_t lines) { return pump_until([&] { return log().size() >= lines; }); }
  bool pump_until_connections(int count) { return pump_until([&] { return state.connection_count == count; }); }
  // Runs the loop for a while, for checking that nothing more happens.
  void pump_idle() {
    for (int i = 0; i < 5; ++i) view.watcher.dispatch(20);
  }

  std::vector<std::string>& log() { return view.lines(ListId::data); }

  int type;
  netenv::AdapterTable adapters;
  netenv::ExternalAddresses external;
  polling::PollingTable polling;
  server::ServerSettings settings;
  server::ServerState state;
  test::ScriptedView view;
  test::FakeWaitClock clock{5000};
  server::UploadServer server{state, settings, adapters, external, polling, view, clock};
};

TEST(UploadServerStart, BindFailuresLeaveNothingOpen) {
  Rig holder_tcp(true), holder_udp(false);
  ASSERT_EQ(holder_tcp.start(), 0);
  ASSERT_EQ(holder_udp.start(), 0);
  struct Case {
    const char* name;
    bool tcp;
    std::function<void(Rig&)> prepare;
  } cases[] = {
      {"TCP port in use", true, [&](Rig& r) { r.settings.port = holder_tcp.settings.port; }},
      {"UDP port in use", false, [&](Rig& r) { r.settings.port = holder_udp.settings.port; }},
      {"address not local", true, [](Rig& r) { r.adapters.addresses[0].ip = platform::Ipv4Address::from_host_order(0xC0000201); }},  // 192.0.2.1
      {"second entry missing", false, [](Rig& r) { r.settings.local_address_index = 1; }},
  };
  for (const Case& c : cases) {
    Rig rig(c.tcp);
    c.prepare(rig);
    EXPECT_EQ(rig.server.start_server(), server::start_bind_failed) << c.name;
    EXPECT_FALSE(rig.state.socket.valid()) << c.name;
    EXPECT_FALSE(rig.server.running()) << c.name;
  }
}

// Stop closing every connection and the same port starting again: the LAN and GUI server tests.
TEST(UploadServerStart, StartingTwiceChangesNothing) {
  Rig rig(true);
  ASSERT_EQ(rig.start(), 0);
  const int listener = rig.state.socket.fd();
  EXPECT_TRUE(rig.view.watcher.watching(listener));
  EXPECT_EQ(rig.server.start_server(), 0);
  EXPECT_EQ(rig.state.socket.fd(), listener);
  EXPECT_EQ(local_port(listener), rig.settings.port);
}

// With the raw-data option every accept and close has its line. The 33rd connection waits
// unaccepted, the listener unwatched, until a slot frees.
TEST(UploadServerTcp, RawDataOptionLogsAcceptsClosesAndAFullTable) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  std::vector<platform::SocketHandle> clients;
  for (int i = 0; i < server::max_slots; ++i) clients.push_back(rig.client());
  ASSERT_TRUE(rig.pump_until_connections(server::max_slots));
  EXPECT_EQ(rig.log()[0], "10:20:30 -> 等待上传数据...");
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> sn: 1/01  IP: 127.  0.  0.  1  PORT: " + port_text(clients[0]) + "-> COME IN!");
  EXPECT_EQ(rig.log().back().rfind("031-10:20:30 -> sn:32/32  IP: ", 0), 0u) << rig.log().back();

  platform::SocketHandle late = rig.client();  // completes in the backlog
  ASSERT_TRUE(rig.pump_until_log_has(34));
  rig.pump_idle();
  ASSERT_EQ(rig.log().size(), 34u);
  EXPECT_EQ(rig.log()[33], "032-10:20:30 -> connections are full!");
  EXPECT_FALSE(rig.view.watcher.watching(rig.state.socket.fd()));
  EXPECT_EQ(rig.state.connection_count, server::max_slots);

  clients[4].reset();  // frees slot 4, the lowest free one
  ASSERT_TRUE(rig.pump_until_log_has(36));
  EXPECT_EQ(rig.log()[34], "033-10:20:30 -> model:5, closed ok(0)!");
  EXPECT_EQ(rig.log()[35], "034-10:20:30 -> sn: 5/32  IP: 127.  0.  0.  1  PORT: " + port_text(late) + "-> COME IN!");
  EXPECT_EQ(rig.state.connection_table[4].peer.port, local_port(late.fd()));
  EXPECT_TRUE(rig.view.watcher.watching(rig.state.socket.fd()));

  const linger abort_on_close{1, 0};  // a reset instead of an orderly close
  ::setsockopt(clients[7].fd(), SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  clients[7].reset();
  ASSERT_TRUE(rig.pump_until_log_has(37));
  EXPECT_EQ(rig.log()[36], "035-10:20:30 -> sn:8, ERR(2)-closed!");
}

// The record's line and summary row; sn is the ordinal among the slots in use; without the
// raw-data option a close leaves no line.
TEST(UploadServerTcp, AModuleReconnectingOnAnotherSlotKeepsItsRowAndInterval) {
  Rig rig(true);
  rig.clock.set_now_ms(1000);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle other = rig.client();  // slot 0
  ASSERT_TRUE(rig.pump_until_connections(1));
  platform::SocketHandle module = rig.client();  // slot 1
  ASSERT_TRUE(rig.pump_until_connections(2));
  rig.clock.set_now_ms(3000);
  send_text(module, record(9));
  ASSERT_TRUE(rig.pump_until_log_has(2));
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> sn: 2/02, <T: 127.  0.  0.  1/" + port_text(module) + ">" + readings + "--   2.0");
  EXPECT_EQ(rig.view.lines(ListId::modules)[1], " 1 - 10:20:30 -> MAC: 00204A000009 -- MID: 0001 -- IP: 127.  0.  0.  1 -- PORT: " +
                                                    port_text(module) + " -- CNT: 0001");
  other.reset();
  ASSERT_TRUE(rig.pump_until_connections(1));
  rig.pump_idle();
  EXPECT_EQ(rig.log().size(), 2u);
  rig.clock.set_now_ms(3500);
  send_text(module, record(9));
  ASSERT_TRUE(rig.pump_until_log_has(3));
  EXPECT_NE(rig.log()[2].find("-> sn: 1/01, <T: "), std::string::npos) << rig.log()[2];
  module.reset();
  ASSERT_TRUE(rig.pump_until_connections(0));

  platform::SocketHandle again = rig.client();  // slot 0 now
  rig.clock.set_now_ms(7000);
  send_text(again, record(9));
  ASSERT_TRUE(rig.pump_until_log_has(4));
  EXPECT_TRUE(rig.state.connection_table[0].in_use);
  EXPECT_NE(rig.log()[3].find("--   3.5"), std::string::npos) << rig.log()[3];
  ASSERT_EQ(rig.view.lines(ListId::modules).size(), 2u);
  EXPECT_NE(rig.view.lines(ListId::modules)[1].find("CNT: 0003"), std::string::npos);
}

TEST(UploadServerTcp, AnAcceptFailureNamesItsErrno) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle client = rig.client();
  // No descriptor is left for the accepted connection.
  const int lowest_free = ::dup(0);
  ASSERT_GE(lowest_free, 0);
  ::close(lowest_free);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit exhausted = saved;
  exhausted.rlim_cur = static_cast<rlim_t>(lowest_free);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &exhausted), 0);
  const bool logged = rig.pump_until_log_has(2);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  ASSERT_TRUE(logged);
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> Accept err: 24 (EMFILE)");
}

TEST(UploadServerUdp, ReadErrorsTakeNoSlotAndEachSenderAddressAndPortHasOne) {
  Rig rig(false);
  rig.clock.set_now_ms(1000);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle a = rig.client(), b = rig.client();
  // An empty datagram, and one the 200-byte buffer cannot hold (the kernel cut it), are read
  // errors and take no slot.
  send_text(a, "");
  send_text(a, record(3) + std::string(201 - record(3).size(), ' '));
  ASSERT_TRUE(rig.pump_until_log_has(3));
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> UDP read err:-8!");
  EXPECT_EQ(rig.log()[2], "001-10:20:30 -> UDP read err:-7!");
  struct Step {
    platform::SocketHandle& sender;
    std::uint32_t tick_ms;
    const char* head;
    const char* interval;
  } steps[] = {
      {a, 2000, "002-10:20:30-> sn: 1/01, <U: ", "--   1.0"},
      {a, 2500, "003-10:20:30-> sn: 1/01, <U: ", "--   0.5"},
      {b, 4000, "004-10:20:30-> sn: 2/02, <U: ", "--   3.0"},  // a new port: a new slot, timed from the banner
      {a, 4000, "005-10:20:30-> sn: 1/02, <U: ", "--   1.5"},
  };
  std::size_t lines = 3;
  for (const Step& s : steps) {
    rig.clock.set_now_ms(s.tick_ms);
    send_text(s.sender, record(3) + std::string(200 - record(3).size(), ' '));  // the most the buffer holds
    ASSERT_TRUE(rig.pump_until_log_has(++lines));
    EXPECT_EQ(rig.log().back(), s.head + ("127.  0.  0.  1/" + port_text(s.sender)) + ">" + readings + s.interval);
  }
  EXPECT_EQ(rig.view.lines(ListId::modules).size(), 2u);  // one module, one row
  EXPECT_NE(rig.view.lines(ListId::modules)[1].find("CNT: 0004"), std::string::npos);
}

TEST(UploadServerUdp, After32SendersEveryDatagramIsRefused) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  std::vector<platform::SocketHandle> senders;
  for (int i = 0; i < server::max_slots; ++i) {
    senders.push_back(rig.client());
    send_text(senders.back(), record(i));
    ASSERT_TRUE(rig.pump_until_log_has(static_cast<std::size_t>(i + 2)));
  }
  EXPECT_EQ(rig.log().back().rfind("031-10:20:30-> sn:32/32, <U: ", 0), 0u) << rig.log().back();
  platform::SocketHandle late = rig.client();
  send_text(late, record(40));
  send_text(senders[0], record(0));  // a known sender too
  ASSERT_TRUE(rig.pump_until_log_has(35));
  EXPECT_EQ(rig.log()[33], "032-10:20:30 -> connections are full!");
  EXPECT_EQ(rig.log()[34], "033-10:20:30 -> connections are full!");
  EXPECT_EQ(rig.view.lines(ListId::modules).size(), 33u);
}

// Queued datagrams are handled in bursts of at most 32, each burst as its own event.
TEST(UploadServerUdp, HandlesBurstsScrollsAndStartsAgainAt000After500Lines) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle sender = rig.client();
  for (int i = 0; i < 40; ++i) send_text(sender, record(1));
  EXPECT_EQ(rig.view.watcher.dispatch(1000), 1);
  EXPECT_EQ(rig.log().size(), 33u);  // the waiting line and 32 data lines
  EXPECT_EQ(rig.log().back().substr(0, 4), "031-");
  EXPECT_EQ(rig.view.list_top_index(ListId::data), 33 - 18);
  EXPECT_EQ(rig.view.watcher.dispatch(1000), 1);
  EXPECT_EQ(rig.log().size(), 41u);
  EXPECT_EQ(rig.view.watcher.dispatch(50), 0);
  for (std::size_t lines = 42; lines <= 500; ++lines) {
    send_text(sender, record(1));
    ASSERT_TRUE(rig.pump_until_log_has(lines));
  }
  EXPECT_EQ(rig.log().back().substr(0, 4), "498-");
  send_text(sender, record(1));
  ASSERT_TRUE(rig.pump_until([&] { return rig.log().empty(); }));  // the 500th line empties the list
  EXPECT_EQ(rig.state.log_line_number, 0);
  send_text(sender, record(1));
  ASSERT_TRUE(rig.pump_until_log_has(1));
  EXPECT_EQ(rig.log()[0].substr(0, 4), "000-");
}

}  // namespace
