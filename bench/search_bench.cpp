// Wall time of the search's two UDP passes over one and two subnets beside their floor
// (each subnet costs two 0.6 s waits), of one capture pass beside its 0.9 s floor, and the
// peak memory of the real window after a whole search. Runs as root: it
// builds its own virtual LAN.
#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "app/main_window.h"
#include "discovery/capture_devices.h"
#include "discovery/module_search.h"
#include "discovery/raw_search.h"
#include "discovery/system_raw_link.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "support/offscreen_screen.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_wait_clock.h"

namespace {

constexpr int runs = 5;

// One capture pass on the first capture device: three 300 ms read time-outs at least.
void time_capture_pass(const test::VirtualLan& lan) {
  test::PcNamespaceScope pc(lan);
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  discovery::RawEthernetState state;
  platform::SystemWaitClock clock;
  discovery::SystemRawLink link{clock};
  netenv::build_adapter_table(adapters, platform::list_adapters(), view, discovery::capture_matcher(state, link, view));
  discovery::RawEthernet raw{adapters, state, link, false};
  double total_ms = 0;
  for (int i = 0; i < runs; ++i) {
    link.open_query_socket();
    auto start = std::chrono::steady_clock::now();
    discovery::capture_pass(raw, 0, view);
    total_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    link.close_query_socket();
  }
  std::printf("capture pass on one device: mean %7.1f ms, floor %6.0f ms\n", total_ms / runs, 900.0);
}

void time_search(int subnets, int modules_per_subnet) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  if (subnets > 1) topology.add_subnet(2, "192.168.5.3/24");
  for (int s = 1; s <= subnets; ++s) topology.add_sensor_modules(s, modules_per_subnet, 100);
  test::VirtualLan lan(topology);
  if (!lan.ok()) {
    std::printf("virtual LAN failed: %s\n", lan.error().c_str());
    return;
  }
  if (subnets == 1) time_capture_pass(lan);
  test::PcNamespaceScope pc(lan);
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  netenv::build_adapter_table(adapters, platform::list_adapters(), view);
  platform::SystemWaitClock clock;
  double total_ms = 0, worst_ms = 0;
  for (int i = 0; i < runs; ++i) {
    discovery::ModuleTable table;
    discovery::reset_module_table(table);
    auto start = std::chrono::steady_clock::now();
    discovery::search_modules(clock, adapters, table, discovery::default_expected_port, view);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    total_ms += ms;
    if (ms > worst_ms) worst_ms = ms;
  }
  double floor_ms = 1200.0 * subnets;
  std::printf("search, %d subnet(s), %2d modules: mean %7.1f ms, worst %7.1f ms, floor %6.0f ms, overhead %5.1f%%\n",
              subnets, subnets * modules_per_subnet, total_ms / runs, worst_ms, floor_ms,
              100.0 * (total_ms / runs - floor_ms) / floor_ms);
}

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void window_memory_after_search() {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(2, "192.168.5.3/24");
  topology.add_sensor_modules(1, 16, 100).add_sensor_modules(2, 16, 100);
  test::VirtualLan lan(topology);
  if (!lan.ok()) return;
  test::PcNamespaceScope pc(lan);
  long before = peak_rss_kib();
  app::ProgramContext context;
  // A settings file in place, so that no message box waits for an answer at start.
  test::ScriptedView file_messages;
  app::write_settings(app::settings_file_name, context.settings, file_messages);
  ui::qt::QtMainWindow window;
  ui::qt::QtWaitClock clock;
  app::MainWindow logic(context, window, clock);
  window.set_events(&logic);
  logic.create();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return;
  QTest::mouseClick(window.button(ui::ButtonId::search), Qt::LeftButton);
  std::printf("window after a search listing %d modules: peak memory %ld KiB (process before the window: %ld KiB)\n",
              window.list_count(ui::ListId::modules), peak_rss_kib(), before);
  logic.on_close();
}

}  // namespace

int main(int argc, char** argv) {
  auto screen_config = test::use_wide_offscreen_screen();
  QApplication application(argc, argv);
  time_search(1, 8);
  time_search(2, 8);
  window_memory_after_search();
  return 0;
}
