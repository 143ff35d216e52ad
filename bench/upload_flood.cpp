// The upload server under a flood on loopback, with the real window (offscreen) showing its
// lists: 32 UDP senders at rising rates (records counted in CNT against those sent, to find
// the highest rate that loses none), then 32 UDP and 32 TCP senders as fast as they can,
// each stopped halfway by a Stop posted to the event loop. Prints handled events per second,
// how long the Stop waited and took, and the peak memory. Every phase is bounded in count
// and time.
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

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t loopback = 0x0100007F;  // 127.0.0.1 in network order
constexpr std::uint16_t flood_port = 18005;
constexpr int senders = 32;
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
  to.sin_addr.s_addr = loopback;
  to.sin_port = htons(flood_port);
  if (::connect(fd.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) fd.reset();
  return fd;
}

// One UDP sender: `count` records, paced at per_second (0: as fast as it can).
void send_datagrams(int sender, int count, double per_second) {
  platform::SocketHandle fd = connected_socket(SOCK_DGRAM);
  const std::string text = record(sender);
  const auto start = Clock::now();
  for (int i = 0; i < count && fd.valid(); ++i) {
    if (per_second > 0) std::this_thread::sleep_until(start + std::chrono::duration<double>(i / per_second));
    ::send(fd.fd(), text.data(), text.size(), 0);  // refused once the server stops: the flood goes on
  }
}

// One TCP sender: `count` blocks of one record each, until the server closes.
void send_blocks(int sender, int count) {
  platform::SocketHandle fd = connected_socket(SOCK_STREAM);
  std::string block = record(sender);
  block.resize(tcp_block_bytes, ' ');
  for (int i = 0; i < count && fd.valid(); ++i) {
    if (::send(fd.fd(), block.data(), block.size(), MSG_NOSIGNAL) < 0) break;
  }
}

struct Bench {
  Bench() {
    adapters.address_count = 1;
    adapters.addresses[0].ip = loopback;
    adapters.adapter_table_valid = true;
    settings.port = flood_port;
    window.show();
    QTest::qWaitForWindowExposed(&window);
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
  void run_until_drained(const std::atomic<int>& senders_done) {
    QTimer wake;
    wake.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < phase_deadline_ms) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
      const bool quiet = ms_between(last_line_at, Clock::now()) > drained_after_quiet_ms;
      if (senders_done == senders && quiet) break;
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
  server::UploadServer server{state, settings, adapters, external, polling, window};
  std::uint64_t lines_added = 0;
  Clock::time_point last_line_at = Clock::now();
};

// 32 UDP senders sharing total_per_second (0: unlimited). Returns the records lost.
std::uint64_t udp_phase(Bench& bench, double total_per_second) {
  if (!bench.start(false)) {
    std::printf("UDP server did not start on 127.0.0.1:%d\n", flood_port);
    return 0;
  }
  const int per_sender = total_per_second > 0
                             ? std::min(max_records_per_sender, std::max(50, static_cast<int>(total_per_second / senders)))
                             : max_records_per_sender;
  std::atomic<int> done{0};
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (int s = 0; s < senders; ++s) {
    threads.emplace_back([s, per_sender, total_per_second, &done] {
      send_datagrams(s, per_sender, total_per_second / senders);
      ++done;
    });
  }
  bench.run_until_drained(done);
  for (auto& t : threads) t.join();
  const std::uint64_t sent = static_cast<std::uint64_t>(per_sender) * senders;
  const std::uint64_t counted = bench.counted();
  const double seconds = ms_between(start, bench.last_line_at) / 1000;
  char rate[32];
  std::snprintf(rate, sizeof rate, total_per_second > 0 ? "%8.0f/s" : "unlimited", total_per_second);
  std::printf("UDP offered %s: sent %6llu, counted in CNT %6llu, lost %6llu, handled %8.0f datagrams/s\n", rate,
              static_cast<unsigned long long>(sent), static_cast<unsigned long long>(counted),
              static_cast<unsigned long long>(sent - counted), bench.lines_added / seconds);
  bench.server.stop_server();
  return sent - counted;
}

void udp_flood_with_stop(Bench& bench) {
  if (!bench.start(false)) return;
  std::atomic<int> done{0};
  std::vector<std::thread> threads;
  for (int s = 0; s < senders; ++s) {
    threads.emplace_back([s, &done] {
      send_datagrams(s, max_records_per_sender, 0);
      ++done;
    });
  }
  std::thread stopper = bench.stop_after(100, "UDP flood");
  bench.run_until_drained(done);
  stopper.join();
  for (auto& t : threads) t.join();
  std::printf("  UDP flood: %llu datagrams handled before the stop\n", static_cast<unsigned long long>(bench.lines_added));
}

void tcp_flood(Bench& bench, bool stop_halfway) {
  if (!bench.start(true)) {
    std::printf("TCP server did not start on 127.0.0.1:%d\n", flood_port);
    return;
  }
  std::atomic<int> done{0};
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (int s = 0; s < senders; ++s) {
    threads.emplace_back([s, &done] {
      send_blocks(s, max_records_per_sender);
      ++done;
    });
  }
  std::thread stopper;
  if (stop_halfway) stopper = bench.stop_after(100, "TCP flood");
  bench.run_until_drained(done);
  if (stopper.joinable()) stopper.join();
  for (auto& t : threads) t.join();
  const double seconds = ms_between(start, bench.last_line_at) / 1000;
  if (!stop_halfway) {
    std::printf("TCP, 32 connections: sent %d records, %llu reads handled (%.0f reads/s), counted in CNT %llu\n",
                senders * max_records_per_sender, static_cast<unsigned long long>(bench.lines_added),
                bench.lines_added / seconds, static_cast<unsigned long long>(bench.counted()));
  }
  bench.server.stop_server();
}

}  // namespace

int main(int argc, char** argv) {
  auto screen_config = test::use_wide_offscreen_screen();
  QApplication application(argc, argv);
  Bench bench;
  const long memory_before = peak_rss_kib();

  double lossless = 0;
  bool lost = false;
  for (double rate : {2000.0, 5000.0, 10000.0, 20000.0, 40000.0, 80000.0, 0.0}) {
    lost = udp_phase(bench, rate) != 0 || lost;
    if (!lost && rate > 0) lossless = rate;
  }
  std::printf("highest offered UDP rate with no record lost: %.0f/s%s\n", lossless, lost ? "" : " (unlimited lost none either)");
  udp_flood_with_stop(bench);
  tcp_flood(bench, false);
  tcp_flood(bench, true);
  std::printf("peak memory %ld KiB (window up, before the floods: %ld KiB); lists hold %d summary and %d log lines\n",
              peak_rss_kib(), memory_before, bench.window.list_count(ui::ListId::modules),
              bench.window.list_count(ui::ListId::data));
  return 0;
}
