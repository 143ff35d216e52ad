// Wall time of a set-configuration round trip (request out, acknowledgement in) against an
// emulated module, and of a wireless read beside its floor (the 200 ms of silence that ends
// it). Runs as root: it builds its own virtual LAN.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "config/module_writes.h"
#include "discovery/module_search.h"
#include "bench_lan.h"
#include "platform/ipv4_address.h"

namespace {

constexpr int runs = 50;

template <typename Exchange>
void time_exchange(const char* name, double floor_ms, Exchange exchange) {
  std::vector<double> ms;
  int failures = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (exchange() != 0) ++failures;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  double total = 0;
  for (double m : ms) total += m;
  std::printf("%-28s mean %7.2f ms, median %7.2f ms, max %7.2f ms, floor %5.0f ms, failures %d/%d\n", name,
              total / runs, ms[runs / 2], ms.back(), floor_ms, failures, runs);
}

}  // namespace

int main() {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_sensor_modules(1, 1, 100, "device_type = W8\nrestart_delay_ms = 60000");
  bench::BenchLan lan(topology);
  if (!lan.ok()) return 1;
  discovery::ModuleTable table;
  platform::SystemWaitClock clock;
  if (discovery::search_modules(clock, lan.adapters, table, discovery::default_expected_port, lan.view) != 0 ||
      table.shown_count != 1) {
    std::printf("search did not find the module\n");
    return 1;
  }
  discovery::ModuleRow& row = table.rows[table.display_order[0]];
  netenv::PendingParameters same;
  same.new_module_ip = row.ip;
  same.new_gateway = row.gateway;
  same.host_bits = row.host_bits;
  same.work_mode = row.work_mode;
  config::WirelessCopies copies;
  time_exchange("set-configuration round trip", 0, [&] { return config::write_selected_module(clock, row, same); });
  time_exchange("wireless read", 200, [&] { return config::read_selected_wireless(clock, row, copies); });
  return 0;
}
