// The upload server under a flood on loopback, with the real window (offscreen) showing its
// lists. UDP senders at rising rates have their records counted in CNT against those sent,
// to find the highest rate that loses none; 31 of them, because once 32 senders have been
// seen the server refuses every datagram. Then 32 UDP and 32 TCP senders as fast as they
// can, each flood stopped by a Stop posted to the event loop. Prints handled events per
// second, how long the Stop waited and took, and the peak memory. Every phase is bounded in
// count and time.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket_handle.h"
#include "server/upload_server.h"
#include "support/offscreen_screen.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto loopback = platform::Ipv4Address::from_octets(127, 0, 0, 1);
constexpr std::uint16_t flood_port = 18005;
constexpr int senders = 32;
constexpr int counted_udp_senders = senders - 1;
constexpr int max_records_per_sender = 3000;  // below the counter's wrap at 10000
constexpr int phase_deadline_ms = 20000;
constexpr int drained_after_quiet_ms = 300;
constexpr std::size_t tcp_block_bytes = 200;  // one record per block: one record per read

double ms_between(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string record(int sender) {
  char text[32];
  std::snprintf(text, sizeof text, "00204AFF00%02d0001017801C825", sender);
  return text;
}

platform::SocketHandle connected_socket(int type) {
  platform::SocketHandle fd(::socket(AF_INET, type, 0));
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = loopback.network_order();
  to.sin_port = htons(flood_port);
  if (::connect(fd.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) fd.reset();
  return fd;
}

// One UDP sender: `count` records, paced at per_second (0: as fast as it can). Returns
// how many left it.
int send_datagrams(int sender, int count, double per_second) {
  platform::SocketHandle fd = connected_socket(SOCK_DGRAM);
  const std::string text = record(sender);
  const auto start = Clock::now();
  int sent = 0;
  for (int i = 0; i < count && fd.valid(); ++i) {
    if (per_second > 0) std::this_thread::sleep_until(start + std::chrono::duration<double>(i / per_second));
    // Refused once the server stops; the flood goes on.
    sent += ::send(fd.fd(), text.data(), text.size(), 0) > 0;
  }
  return sent;
}

// One TCP sender: `count` blocks of one record each, until the server closes. Returns how
// many it sent.
int send_blocks(int sender, int count) {
  platform::SocketHandle fd = connected_socket(SOCK_STREAM);
  std::string block = record(sender);
  block.resize(tcp_block_bytes, ' ');
  int sent = 0;
  while (sent < count && fd.valid() && ::send(fd.fd(), block.data(), block.size(), MSG_NOSIGNAL) > 0) ++sent;
  return sent;
}

struct Bench {
  Bench() {
    adapters.address_count = 1;
    adapters.addresses[0].ip = loopback;
    adapters.adapter_table_valid = true;
    settings.port = flood_port;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::printf("window not exposed\n");
    // Every event the server handles adds one line to the data list.
    QObject::connect(window.list_widget(ui::ListId::data)->model(), &QAbstractItemModel::rowsInserted, [this] {
      ++lines_added;
      last_line_at = Clock::now();
    });
  }

  bool start(bool tcp) {
    settings.protocol = tcp ? discovery::atcp : discovery::audp;
    server::clear_upload_summary(state);
    if (server.start_server() != 0) return false;
    server.banner();
    lines_added = 0;
    last_line_at = Clock::now();
    return true;
  }

  std::uint64_t counted() const {
    std::uint64_t sum = 0;
    for (int r = 0; r < state.summary.row_count; ++r) sum += state.summary.rows[static_cast<std::size_t>(r)].counter;
    return sum;
  }

  // Runs the window's event loop until the senders are done and nothing came for a while.
  void run_until_drained(const std::atomic<int>& senders_done, int sender_count = senders) {
    QTimer wake;
    wake.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < phase_deadline_ms) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
      const bool quiet = ms_between(last_line_at, Clock::now()) > drained_after_quiet_ms;
      if (senders_done == sender_count && quiet) break;
    }
  }

  // Posts a Stop to the event loop after delay_ms, as a click would arrive, and reports
  // how long it waited behind the flood and how long the stop took.
  std::thread stop_after(int delay_ms, const char* what) {
    return std::thread([this, delay_ms, what] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      const auto posted = Clock::now();
      QMetaObject::invokeMethod(
          &window,
          [this, posted, what] {
            const auto acted = Clock::now();
            server.stop_server();
            std::printf("  %s: Stop acted %.2f ms after it was posted and took %.2f ms\n", what,
                        ms_between(posted, acted), ms_between(acted, Clock::now()));
          },
          Qt::QueuedConnection);
    });
  }

  netenv::AdapterTable adapters;
  netenv::ExternalAddresses external;
  polling::PollingTable polling;
  server::ServerSettings settings;
  server::ServerState state;
  ui::qt::QtMainWindow window;
  ui::qt::QtWaitClock clock;
  server::UploadServer server{state, settings, adapters, external, polling, window, clock};
  std::uint64_t lines_added = 0;
  Clock::time_point last_line_at = Clock::now();
};

struct FloodResult {
  std::uint64_t sent = 0;
  std::uint64_t events = 0;   // lines the server added: one per datagram or read
  std::uint64_t counted = 0;  // records counted in the summary's CNT
  double events_per_second = 0;
};

// One phase: sender_count senders of the kind, per_sender records each, together at
// total_per_second (0: as fast as they can); a Stop is posted after stop_after_ms when given.
FloodResult flood(Bench& bench, bool tcp, int sender_count, int per_sender, double total_per_second,
                  int stop_after_ms = 0) {
  FloodResult result;
  if (!bench.start(tcp)) {
    std::printf("%s server did not start on 127.0.0.1:%d\n", tcp ? "TCP" : "UDP", flood_port);
    return result;
  }
  std::atomic<int> done{0};
  std::atomic<std::uint64_t> sent{0};
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (int s = 0; s < sender_count; ++s) {
    threads.emplace_back([=, &done, &sent] {
      sent += tcp ? send_blocks(s, per_sender) : send_datagrams(s, per_sender, total_per_second / sender_count);
      ++done;
    });
  }
  std::thread stopper;
  if (stop_after_ms > 0) stopper = bench.stop_after(stop_after_ms, tcp ? "TCP flood" : "UDP flood");
  bench.run_until_drained(done, sender_count);
  if (stopper.joinable()) stopper.join();
  for (auto& t : threads) t.join();
  result.sent = sent;
  result.events = bench.lines_added;
  result.counted = bench.counted();
  result.events_per_second = bench.lines_added / (std::max(ms_between(start, bench.last_line_at), 1.0) / 1000);
  bench.server.stop_server();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  auto screen_config = test::use_wide_offscreen_screen();
  QApplication application(argc, argv);
  Bench bench;
  const long memory_before = peak_rss_kib();

  double lossless = 0;
  bool lost = false;
  for (double rate : {1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 40000.0, 0.0}) {
    const int per_sender = rate > 0 ? std::clamp(static_cast<int>(rate / counted_udp_senders), 50, max_records_per_sender)
                                    : max_records_per_sender;
    const FloodResult r = flood(bench, false, counted_udp_senders, per_sender, rate);
    char offered[32];
    std::snprintf(offered, sizeof offered, rate > 0 ? "%6.0f/s" : "as fast as they can", rate);
    std::printf("UDP, %d senders at %s: sent %6llu, counted in CNT %6llu, lost %6llu, handled %7.0f datagrams/s\n",
                counted_udp_senders, offered, static_cast<unsigned long long>(r.sent),
                static_cast<unsigned long long>(r.counted), static_cast<unsigned long long>(r.sent - r.counted),
                r.events_per_second);
    lost = lost || r.sent != r.counted;
    if (!lost && rate > 0) lossless = rate;
  }
  std::printf("highest offered UDP rate with no record lost: %.0f/s\n", lossless);

  const FloodResult udp = flood(bench, false, senders, max_records_per_sender, 0);
  std::printf("UDP, %d senders as fast as they can: sent %llu, %llu datagrams handled (%.0f/s), %llu counted before the table filled\n",
              senders, static_cast<unsigned long long>(udp.sent), static_cast<unsigned long long>(udp.events),
              udp.events_per_second, static_cast<unsigned long long>(udp.counted));
  flood(bench, false, senders, max_records_per_sender, 0, 200);
  const FloodResult tcp = flood(bench, true, senders, max_records_per_sender, 0);
  std::printf("TCP, %d connections as fast as they can: sent %llu records, %llu reads handled (%.0f/s)\n", senders,
              static_cast<unsigned long long>(tcp.sent), static_cast<unsigned long long>(tcp.events),
              tcp.events_per_second);
  flood(bench, true, senders, max_records_per_sender, 0, 200);
  std::printf("peak memory %ld KiB (window up, before the floods: %ld KiB); lists hold %d summary and %d log lines\n",
              peak_rss_kib(), memory_before, bench.window.list_count(ui::ListId::modules),
              bench.window.list_count(ui::ListId::data));
  return 0;
}
