// Wall time and CPU time of one polling cycle over 1, 8 and 32 sensor modules in the
// virtual LAN, beside the cycle's floor: the wait before each read that the baud rate
// prescribes plus the 2 ms pause after each module. Runs as root.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "discovery/module_search.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "polling/polling_cycle.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"

namespace {

constexpr int cycles = 5;

double cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

void measure(int modules, int baud_index) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_sensor_modules(1, modules, 100);
  test::VirtualLan lan(topology);
  if (!lan.ok()) {
    std::printf("virtual LAN failed: %s\n", lan.error().c_str());
    return;
  }
  test::PcNamespaceScope pc(lan);
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  discovery::ModuleTable table;
  polling::PollingTable polling_table;
  netenv::build_adapter_table(adapters, platform::list_adapters(), view);
  discovery::reset_module_table(table);
  platform::SystemWaitClock clock;
  discovery::search_modules(clock, adapters, table, discovery::default_expected_port, view);
  polling::QuerySettings settings{clock, 1, {}};
  settings.baud_index = baud_index;
  polling::open_polling_sockets(table, polling_table, settings);
  polling::polling_cycle(true, table, polling_table, settings);  // decides the extended readings

  double floor_ms = 0;
  for (int p = 0; p < table.shown_count; ++p) {
    const bool extended = polling_table.rows[table.display_order[p]].extended;
    floor_ms += polling::wait_before_read_ms(false, baud_index, 17, extended ? 43 : 27) + polling::row_pause_ms;
  }
  double wall_total = 0, cpu_total = 0;
  for (int c = 0; c < cycles; ++c) {
    const double cpu_before = cpu_ms();
    const auto start = std::chrono::steady_clock::now();
    polling::polling_cycle(false, table, polling_table, settings);
    wall_total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cpu_total += cpu_ms() - cpu_before;
  }
  polling::close_polling_sockets(polling_table);
  const double wall = wall_total / cycles;
  std::printf("polling cycle, %2d modules, baud index %d: wall %8.1f ms, floor %8.1f ms, overhead %5.2f%%, "
              "CPU %6.2f ms\n",
              table.shown_count, baud_index, wall, floor_ms, 100.0 * (wall - floor_ms) / floor_ms, cpu_total / cycles);
}

}  // namespace

int main() {
  for (int modules : {1, 8, 32}) measure(modules, 1);
  measure(8, 9);
  return 0;
}
