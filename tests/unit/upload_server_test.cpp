// The upload server over loopback: real sockets, readiness through the test's select loop,
// a fake clock for the times in the log.
#include "server/upload_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/socket_error_codes.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_view.h"

namespace {

using ui::ListId;

constexpr auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);

// 10:20:30 and tick 5000.
test::FakeWaitClock fake_clock() {
  test::FakeWaitClock clock(5000);
  std::tm time{};
  time.tm_hour = 10;
  time.tm_min = 20;
  time.tm_sec = 30;
  clock.set_local_time(time);
  return clock;
}

std::uint16_t local_port(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A port the kernel just had free on loopback for this kind of socket.
std::uint16_t free_port(int type) {
  platform::SocketHandle probe(::socket(AF_INET, type, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = loopback.network_order();
  ::bind(probe.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  return local_port(probe.fd());
}

sockaddr_in server_address(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = loopback.network_order();
  address.sin_port = htons(port);
  return address;
}

platform::SocketHandle tcp_client(std::uint16_t port) {
  platform::SocketHandle fd(::socket(AF_INET, SOCK_STREAM, 0));
  const sockaddr_in to = server_address(port);
  EXPECT_EQ(::connect(fd.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
  return fd;
}

platform::SocketHandle udp_client() {
  platform::SocketHandle fd(::socket(AF_INET, SOCK_DGRAM, 0));
  sockaddr_in address = server_address(0);
  ::bind(fd.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  return fd;
}

void send_text(int fd, const std::string& text) { ASSERT_EQ(::send(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size())); }

void send_to_server(int fd, std::uint16_t port, const std::string& text) {
  const sockaddr_in to = server_address(port);
  ASSERT_EQ(::sendto(fd, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to),
            static_cast<ssize_t>(text.size()));
}

void reset_connection(platform::SocketHandle& fd) {
  const linger abort_on_close{1, 0};
  ::setsockopt(fd.fd(), SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  fd.reset();
}

// Record of module n: MAC text 00204A0000nn, identifier 0001, 23.5 degrees, 45.6 %RH, inputs 0x25.
std::string record(int n) {
  char text[32];
  std::snprintf(text, sizeof text, "00204A0000%02d0001017801C825", n);
  return text;
}

const std::string readings = "     +23.500℃/45.6%RH  DI[5->0]: < 10 - 0101 >";

std::string port_text(std::uint16_t port) {
  char text[8];
  std::snprintf(text, sizeof text, "%5d", port);
  return text;
}

// One server on 127.0.0.1 with the scripted window; the banner is written after start.
struct Rig {
  explicit Rig(bool tcp, bool raw_data_display = false, std::uint16_t port = 0) {
    adapters.address_count = 1;
    adapters.addresses[0].ip = loopback;
    adapters.adapter_table_valid = true;
    settings.protocol = tcp ? discovery::atcp : discovery::audp;
    settings.port = port != 0 ? port : free_port(tcp ? SOCK_STREAM : SOCK_DGRAM);
    settings.raw_data_display = raw_data_display;
  }

  int start() {
    const int result = server.start_server();
    if (result == 0) server.banner();
    return result;
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
  // Runs the loop for a while, for checking that nothing more happens.
  void pump_idle() {
    for (int i = 0; i < 5; ++i) view.watcher.dispatch(20);
  }

  std::vector<std::string>& log() { return view.lines(ListId::data); }
  std::size_t count_lines_containing(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(log().begin(), log().end(), [&](const std::string& line) {
      return line.find(text) != std::string::npos;
    }));
  }

  netenv::AdapterTable adapters;
  netenv::ExternalAddresses external;
  polling::PollingTable polling;
  server::ServerSettings settings;
  server::ServerState state;
  test::ScriptedView view;
  test::FakeWaitClock clock = fake_clock();
  server::UploadServer server{state, settings, adapters, external, polling, view, clock};
};

TEST(UploadServerStart, StartingTwiceChangesNothing) {
  for (bool tcp : {true, false}) {
    Rig rig(tcp);
    ASSERT_EQ(rig.start(), 0);
    const int fd = rig.state.socket.fd();
    EXPECT_TRUE(rig.server.running());
    EXPECT_TRUE(rig.view.watcher.watching(fd));
    EXPECT_EQ(rig.server.start_server(), 0);
    EXPECT_EQ(rig.state.socket.fd(), fd);
    EXPECT_EQ(local_port(fd), rig.settings.port);
  }
}

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

TEST(UploadServerTcp, RecordGivesTheDataLineTheSummaryRowAndTheReadings) {
  Rig rig(true);
  ASSERT_EQ(rig.start(), 0);
  EXPECT_EQ(rig.view.lines(ListId::modules)[0],
            "Server: TCP;  内/外IP: 127.0.0.1/;   PORT:" + std::to_string(rig.settings.port) + "; ");
  platform::SocketHandle client = tcp_client(rig.settings.port);
  const std::string port = port_text(local_port(client.fd()));
  rig.clock.set_now_ms(6500);
  send_text(client.fd(), record(7));
  ASSERT_TRUE(rig.pump_until_log_has(2));
  EXPECT_EQ(rig.log()[0], "10:20:30 -> 等待上传数据...");
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> sn: 1/01, <T: 127.  0.  0.  1/" + port + ">" + readings + "--   1.5");
  ASSERT_EQ(rig.view.lines(ListId::modules).size(), 2u);
  EXPECT_EQ(rig.view.lines(ListId::modules)[1],
            " 1 - 10:20:30 -> MAC: 00204A000007 -- MID: 0001 -- IP: 127.  0.  0.  1 -- PORT: " + port +
                " -- CNT: 0001");
  EXPECT_EQ(std::string(rig.polling.rows[0].record.begin(), rig.polling.rows[0].record.begin() + 10), "017801C825");

  // Without the raw-data option the close leaves no line.
  client.reset();
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 0; }));
  rig.pump_idle();
  EXPECT_EQ(rig.log().size(), 2u);
  EXPECT_FALSE(rig.state.connection_table[0].in_use);
}

TEST(UploadServerTcp, RawDataOptionLogsAcceptsAndCloses) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle first = tcp_client(rig.settings.port);
  const std::string first_port = port_text(local_port(first.fd()));
  ASSERT_TRUE(rig.pump_until_log_has(2));
  first.reset();
  ASSERT_TRUE(rig.pump_until_log_has(3));
  platform::SocketHandle second = tcp_client(rig.settings.port);
  const std::string second_port = port_text(local_port(second.fd()));
  ASSERT_TRUE(rig.pump_until_log_has(4));
  reset_connection(second);
  ASSERT_TRUE(rig.pump_until_log_has(5));
  const std::vector<std::string> expected = {
      "10:20:30 -> 等待上传数据...",
      "000-10:20:30 -> sn: 1/01  IP: 127.  0.  0.  1  PORT: " + first_port + "-> COME IN!",
      "001-10:20:30 -> model:1, closed ok(0)!",
      "002-10:20:30 -> sn: 1/01  IP: 127.  0.  0.  1  PORT: " + second_port + "-> COME IN!",
      "003-10:20:30 -> sn:1, ERR(2)-closed!",
  };
  EXPECT_EQ(rig.log(), expected);
  EXPECT_EQ(rig.state.connection_count, 0);
}

TEST(UploadServerTcp, The33rdConnectionWaitsUnacceptedUntilASlotFrees) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  std::vector<platform::SocketHandle> clients;
  for (int i = 0; i < server::max_slots; ++i) clients.push_back(tcp_client(rig.settings.port));
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == server::max_slots; }));
  for (int i = 0; i < server::max_slots; ++i) {
    char head[48];
    std::snprintf(head, sizeof head, "%03d-10:20:30 -> sn:%2d/%02d  IP: ", i, i + 1, i + 1);
    EXPECT_EQ(rig.log()[static_cast<std::size_t>(i + 1)].rfind(head, 0), 0u) << rig.log()[static_cast<std::size_t>(i + 1)];
  }

  platform::SocketHandle late = tcp_client(rig.settings.port);  // completes in the backlog
  ASSERT_TRUE(rig.pump_until([&] { return rig.count_lines_containing("connections are full!") == 1; }));
  rig.pump_idle();
  EXPECT_EQ(rig.count_lines_containing("connections are full!"), 1u);
  EXPECT_FALSE(rig.view.watcher.watching(rig.state.socket.fd()));
  EXPECT_EQ(rig.state.connection_count, server::max_slots);

  clients[4].reset();  // frees slot 4, the lowest free one
  ASSERT_TRUE(rig.pump_until([&] { return rig.count_lines_containing("COME IN!") == 33; }));
  EXPECT_NE(rig.log()[rig.log().size() - 2].find("model:5, closed ok(0)!"), std::string::npos);
  EXPECT_NE(rig.log().back().find("-> sn: 5/32  IP: "), std::string::npos) << rig.log().back();
  EXPECT_EQ(rig.state.connection_table[4].peer.port, local_port(late.fd()));
  EXPECT_TRUE(rig.view.watcher.watching(rig.state.socket.fd()));
}

TEST(UploadServerTcp, SnIsTheOrdinalAmongSlotsInUse) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle a = tcp_client(rig.settings.port);
  platform::SocketHandle b = tcp_client(rig.settings.port);
  platform::SocketHandle c = tcp_client(rig.settings.port);
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 3; }));
  EXPECT_NE(rig.log()[3].find("-> sn: 3/03  IP: "), std::string::npos);
  b.reset();
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 2; }));
  struct Step {
    platform::SocketHandle& client;
    const char* sn;
  } steps[] = {{c, "-> sn: 2/02, <T: "}, {a, "-> sn: 1/02, <T: "}};
  for (const Step& s : steps) {
    const std::size_t before = rig.log().size();
    send_text(s.client.fd(), record(1));
    ASSERT_TRUE(rig.pump_until_log_has(before + 1));
    EXPECT_NE(rig.log().back().find(s.sn), std::string::npos) << rig.log().back();
  }
}

TEST(UploadServerTcp, AModuleReconnectingOnAnotherSlotKeepsItsRowAndInterval) {
  Rig rig(true);
  rig.clock.set_now_ms(1000);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle other = tcp_client(rig.settings.port);  // slot 0
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 1; }));
  platform::SocketHandle module = tcp_client(rig.settings.port);  // slot 1
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 2; }));
  rig.clock.set_now_ms(3000);
  send_text(module.fd(), record(9));
  ASSERT_TRUE(rig.pump_until_log_has(2));
  EXPECT_NE(rig.log()[1].find("--   2.0"), std::string::npos) << rig.log()[1];
  module.reset();
  other.reset();
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 0; }));

  platform::SocketHandle again = tcp_client(rig.settings.port);  // slot 0 now
  rig.clock.set_now_ms(7000);
  send_text(again.fd(), record(9));
  ASSERT_TRUE(rig.pump_until_log_has(3));
  EXPECT_TRUE(rig.state.connection_table[0].in_use);
  EXPECT_NE(rig.log()[2].find("--   4.0"), std::string::npos) << rig.log()[2];
  ASSERT_EQ(rig.view.lines(ListId::modules).size(), 2u);
  EXPECT_NE(rig.view.lines(ListId::modules)[1].find("CNT: 0002"), std::string::npos);
}

TEST(UploadServerTcp, StopClosesEveryConnectionAndTheSameRunCanStartAgain) {
  Rig rig(true);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle a = tcp_client(rig.settings.port);
  platform::SocketHandle b = tcp_client(rig.settings.port);
  ASSERT_TRUE(rig.pump_until([&] { return rig.state.connection_count == 2; }));
  const int listener = rig.state.socket.fd();
  const int accepted = rig.state.connection_table[1].socket.fd();
  rig.server.stop_server();
  EXPECT_FALSE(rig.server.running());
  EXPECT_EQ(rig.state.connection_count, 0);
  EXPECT_FALSE(rig.view.watcher.watching(listener));
  EXPECT_FALSE(rig.view.watcher.watching(accepted));
  char byte = 0;
  for (auto* client : {&a, &b}) EXPECT_EQ(::recv(client->fd(), &byte, 1, 0), 0);
  EXPECT_EQ(rig.server.start_server(), 0);  // the closed connections linger in TIME_WAIT
  EXPECT_TRUE(rig.server.running());
}

TEST(UploadServerUdp, EachSenderAddressAndPortHasItsSlot) {
  Rig rig(false);
  rig.clock.set_now_ms(1000);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle a = udp_client(), b = udp_client();
  send_to_server(a.fd(), rig.settings.port, "");  // an empty datagram is a read error and takes no slot
  ASSERT_TRUE(rig.pump_until_log_has(2));
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> UDP read err:-8!");
  struct Step {
    platform::SocketHandle& sender;
    std::uint32_t tick_ms;
    const char* head;
    const char* interval;
  } steps[] = {
      {a, 2000, "001-10:20:30-> sn: 1/01, <U: ", "--   1.0"},
      {a, 2500, "002-10:20:30-> sn: 1/01, <U: ", "--   0.5"},
      {b, 4000, "003-10:20:30-> sn: 2/02, <U: ", "--   3.0"},  // a new port: a new slot, timed from the banner
      {a, 4000, "004-10:20:30-> sn: 1/02, <U: ", "--   1.5"},
  };
  std::size_t lines = 2;
  for (const Step& s : steps) {
    rig.clock.set_now_ms(s.tick_ms);
    send_to_server(s.sender.fd(), rig.settings.port, record(3));
    ASSERT_TRUE(rig.pump_until_log_has(++lines));
    const std::string expected = std::string(s.head) + "127.  0.  0.  1/" + port_text(local_port(s.sender.fd())) +
                                 ">" + readings + s.interval;
    EXPECT_EQ(rig.log().back(), expected);
  }
  EXPECT_EQ(rig.view.lines(ListId::modules).size(), 2u);  // one module, one row
  EXPECT_NE(rig.view.lines(ListId::modules)[1].find("CNT: 0004"), std::string::npos);
}

TEST(UploadServerUdp, After32SendersEveryDatagramIsRefused) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  std::vector<platform::SocketHandle> senders;
  for (int i = 0; i < server::max_slots; ++i) {
    senders.push_back(udp_client());
    send_to_server(senders.back().fd(), rig.settings.port, record(i));
    ASSERT_TRUE(rig.pump_until_log_has(static_cast<std::size_t>(i + 2)));
    char head[48];
    std::snprintf(head, sizeof head, "%03d-10:20:30-> sn:%2d/%02d, <U: ", i, i + 1, i + 1);
    EXPECT_EQ(rig.log().back().rfind(head, 0), 0u) << rig.log().back();
  }
  platform::SocketHandle late = udp_client();
  send_to_server(late.fd(), rig.settings.port, record(40));
  send_to_server(senders[0].fd(), rig.settings.port, record(0));  // a known sender too
  ASSERT_TRUE(rig.pump_until_log_has(35));
  EXPECT_EQ(rig.log()[33], "032-10:20:30 -> connections are full!");
  EXPECT_EQ(rig.log()[34], "033-10:20:30 -> connections are full!");
  EXPECT_EQ(rig.view.lines(ListId::modules).size(), 33u);
}

TEST(UploadServerUdp, QueuedDatagramsAreHandledInBoundedBurstsEachAsItsOwnEvent) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle sender = udp_client();
  for (int i = 0; i < 40; ++i) send_to_server(sender.fd(), rig.settings.port, record(1));
  EXPECT_EQ(rig.view.watcher.dispatch(1000), 1);
  EXPECT_EQ(rig.log().size(), 33u);  // the waiting line and 32 data lines
  EXPECT_EQ(rig.log().back().substr(0, 4), "031-");
  EXPECT_EQ(rig.view.watcher.dispatch(1000), 1);
  EXPECT_EQ(rig.log().size(), 41u);
  EXPECT_EQ(rig.view.watcher.dispatch(50), 0);
}

TEST(UploadServerUdp, LogScrollsAndStartsAgainAt000After500Lines) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle sender = udp_client();
  auto send_one = [&](std::size_t expected_lines) {
    send_to_server(sender.fd(), rig.settings.port, record(1));
    return rig.pump_until_log_has(expected_lines);
  };
  for (std::size_t n = 1; n <= 25; ++n) ASSERT_TRUE(send_one(n + 1));
  EXPECT_EQ(rig.view.list_top_index(ListId::data), 26 - 18);
  for (int n = 26; n < 500; ++n) ASSERT_TRUE(send_one(static_cast<std::size_t>(n) + 1));
  EXPECT_EQ(rig.log().back().substr(0, 4), "498-");
  send_to_server(sender.fd(), rig.settings.port, record(1));
  ASSERT_TRUE(rig.pump_until([&] { return rig.log().empty(); }));  // the 500th line empties the list
  EXPECT_EQ(rig.state.log_line_number, 0);
  ASSERT_TRUE(send_one(1));
  EXPECT_EQ(rig.log()[0].substr(0, 4), "000-");
}

// A datagram the 200-byte buffer cannot hold was cut by the kernel: a read error, not a record.
TEST(UploadServerUdp, ADatagramOver200BytesIsAReadError) {
  Rig rig(false);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle sender = udp_client();
  send_to_server(sender.fd(), rig.settings.port, record(1) + std::string(201 - record(1).size(), ' '));
  send_to_server(sender.fd(), rig.settings.port, record(2) + std::string(200 - record(2).size(), ' '));
  ASSERT_TRUE(rig.pump_until_log_has(3));
  EXPECT_EQ(rig.log()[1], "000-10:20:30 -> UDP read err:-7!");
  EXPECT_EQ(rig.log()[2].rfind("001-10:20:30-> sn: 1/01, <U: ", 0), 0u) << rig.log()[2];
  EXPECT_EQ(rig.state.connection_count, 1);
}

// The socket takes the port on every address; what was sent to another one is not its.
TEST(UploadServerUdp, DatagramsForAnotherLocalAddressAreDropped) {
  Rig rig(false);
  rig.adapters.addresses[0].mask = platform::Ipv4Address::from_host_order(0xFFFFFF00);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle sender = udp_client();
  sockaddr_in other = server_address(rig.settings.port);
  other.sin_addr.s_addr = platform::Ipv4Address::from_octets(127, 0, 0, 2).network_order();  // 127.0.0.2, also this host's
  const std::string text = record(1);
  ASSERT_EQ(::sendto(sender.fd(), text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&other), sizeof other),
            static_cast<ssize_t>(text.size()));
  rig.pump_idle();
  EXPECT_EQ(rig.log().size(), 1u);
  send_to_server(sender.fd(), rig.settings.port, record(2));
  ASSERT_TRUE(rig.pump_until_log_has(2));
  EXPECT_EQ(rig.log()[1].rfind("000-10:20:30-> sn: 1/01, <U: ", 0), 0u) << rig.log()[1];
}

TEST(UploadServerTcp, AnAcceptFailureNamesItsErrno) {
  Rig rig(true, true);
  ASSERT_EQ(rig.start(), 0);
  platform::SocketHandle client = tcp_client(rig.settings.port);
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

TEST(SocketErrorText, WindowsNumbersWhereTheyExistElseTheErrnoAndItsName) {
  EXPECT_EQ(platform::socket_error_text(ECONNRESET), "10054");
  EXPECT_EQ(platform::socket_error_text(EWOULDBLOCK), "10035");
  EXPECT_EQ(platform::socket_error_text(EMFILE), "24 (EMFILE)");
  EXPECT_EQ(platform::socket_error_text(ENOBUFS), "105 (ENOBUFS)");
  EXPECT_EQ(platform::socket_error_text(9999), "9999");
}

}  // namespace
