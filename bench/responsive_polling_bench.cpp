// A polling cycle over 32 sensor modules in the virtual LAN, 4 of which never answer a
// data request, waited on by the window's clock: the cycle's wall time beside its floor,
// and the longest time the event loop went without running (a 1 ms timer that records
// each of its ticks), beside the same cycle with waits that block. Runs as root.
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "discovery/module_search.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "polling/polling_cycle.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "ui/qt/qt_wait_clock.h"

namespace {

using Steady = std::chrono::steady_clock;

constexpr int answering = 28;
constexpr int silent = 4;
constexpr int baud_index = 1;

double ms_between(Steady::time_point from, Steady::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Wall time of one cycle and the longest stretch in it without a tick of the event loop.
struct CycleFigures {
  double wall_ms = 0;
  double longest_gap_ms = 0;
};

CycleFigures timed_cycle(const discovery::ModuleTable& table, polling::PollingTable& polling_table,
                         platform::WaitClock& clock) {
  Steady::time_point last = Steady::now();
  const Steady::time_point start = last;
  double longest_ms = 0;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const Steady::time_point now = Steady::now();
    longest_ms = std::max(longest_ms, ms_between(last, now));
    last = now;
  });
  ticker.start();
  polling::polling_cycle(false, table, polling_table, {clock, baud_index, {}});
  const Steady::time_point end = Steady::now();
  ticker.stop();
  return {ms_between(start, end), std::max(longest_ms, ms_between(last, end))};
}

// What the cycle must take however fast the machine: each module's wait before its read and
// pause after it, and for a silent module its three attempts' read time-outs and pauses.
double cycle_floor_ms(const discovery::ModuleTable& table, const polling::PollingTable& polling_table,
                      int silent_from_host) {
  double floor_ms = 0;
  for (int p = 0; p < table.shown_count; ++p) {
    const int row = table.display_order[p];
    const bool extended = polling_table.rows[row].extended;
    const double before_read_ms = polling::wait_before_read_ms(false, baud_index, 17, extended ? 43 : 27);
    const bool is_silent = table.rows[row].ip.octet(3) >= silent_from_host;
    const double read_timeout_ms = polling::receive_timeout(false, false).microseconds / 1000.0;
    floor_ms += is_silent ? polling::query_attempts * (before_read_ms + read_timeout_ms + polling::retry_pause_ms)
                          : before_read_ms;
    floor_ms += polling::row_pause_ms;
  }
  return floor_ms;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  constexpr int silent_from_host = 200;
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_sensor_modules(1, answering, 100);
  topology.add_sensor_modules(1, silent, silent_from_host, "silent_requests = 1000000");
  test::VirtualLan lan(topology);
  if (!lan.ok()) {
    std::printf("virtual LAN failed: %s\n", lan.error().c_str());
    return 1;
  }
  test::PcNamespaceScope pc(lan);
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  discovery::ModuleTable table;
  polling::PollingTable polling_table;
  platform::SystemWaitClock blocking;
  ui::qt::QtWaitClock window_clock;
  netenv::build_adapter_table(adapters, platform::list_adapters(), view);
  discovery::reset_module_table(table);
  discovery::search_modules(blocking, adapters, table, discovery::default_expected_port, view);
  const polling::QuerySettings settings{blocking, baud_index, {}};
  polling::open_polling_sockets(table, polling_table, settings);
  polling::polling_cycle(true, table, polling_table, settings);  // decides the extended readings

  const double floor_ms = cycle_floor_ms(table, polling_table, silent_from_host);
  const CycleFigures window = timed_cycle(table, polling_table, window_clock);
  const CycleFigures blocked = timed_cycle(table, polling_table, blocking);
  polling::close_polling_sockets(polling_table);
  std::printf("polling cycle, %2d modules (%d never answer), window's clock: wall %8.1f ms, floor %8.1f ms, "
              "longest event-loop gap %6.1f ms (goal < 50 ms)\n",
              table.shown_count, silent, window.wall_ms, floor_ms, window.longest_gap_ms);
  std::printf("polling cycle, %2d modules (%d never answer), blocking waits: wall %8.1f ms, floor %8.1f ms, "
              "longest event-loop gap %6.1f ms\n",
              table.shown_count, silent, blocked.wall_ms, floor_ms, blocked.longest_gap_ms);
  return 0;
}
