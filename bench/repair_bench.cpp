// Wall time of a whole module repair (a module outside every subnet, brought back on port
// 10050) beside its floor, the fixed waits: 0.6 s of silence after the presence probe, the
// 9 s restart wait and the setup script's pauses. Each step of the repair is timed too.
// Runs as root: it builds its own virtual LAN.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "discovery/captured_rows.h"
#include "maint/module_repair.h"
#include "maint/repair_network.h"
#include "maint/setup_dialogue.h"
#include "bench_lan.h"
#include "platform/wait_clock.h"
#include "rawlink/system_raw_link.h"

namespace {

using Clock = std::chrono::steady_clock;

// Forwards to the real network and adds up the time of each kind of step.
class TimedLink : public maint::RepairLink {
 public:
  explicit TimedLink(maint::RepairLink& inner) : inner_(inner) {}
  std::map<std::string, double> ms;

  int presence_probe(int entry, maint::MacTail tail) override {
    return timed("presence probe", [&] { return inner_.presence_probe(entry, tail); });
  }
  bool open_broadcast_socket() override { return inner_.open_broadcast_socket(); }
  bool send_assignment(platform::Ipv4Address destination, const maint::AddressAssignment& request) override {
    return inner_.send_assignment(destination, request);
  }
  void close_broadcast_socket() override { inner_.close_broadcast_socket(); }
  int address_in_use(platform::Ipv4Address ip) override {
    return timed("address probes", [&] { return inner_.address_in_use(ip); });
  }
  void wait_ms(int milliseconds) override {
    timed("restart wait", [&] { return inner_.wait_ms(milliseconds), 0; });
  }
  int restore_by_setup_port(platform::Ipv4Address ip) override {
    return timed("setup login and script", [&] { return inner_.restore_by_setup_port(ip); });
  }
  bool cancelled() const override { return inner_.cancelled(); }

 private:
  template <typename F>
  int timed(const char* step, F&& f) {
    const auto start = Clock::now();
    const int result = f();
    ms[step] += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return result;
  }
  maint::RepairLink& inner_;
};

}  // namespace

int main() {
  const char* mac = "00:20:4a:d0:00:0b";
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.5.3/24");
  topology.add_module({"lost", 1, mac, "10.0.0.7/24", "10.0.0.1",
                       test::sensor_module_config(mac, "10.0.0.7", "10.0.0.1", "port = 4001")});
  bench::BenchLan lan(topology);
  if (!lan.ok()) return 1;
  netenv::AdapterTable& adapters = lan.adapters;
  rawlink::RawEthernetState raw_state;
  platform::SystemWaitClock clock;
  rawlink::SystemRawLink raw_link(clock, discovery::raw_search_queries());
  maint::RepairNetwork network({adapters, raw_state, raw_link, false}, clock, lan.view,
                               {maint::default_setup_password, false});
  TimedLink timed(network);

  const auto start = Clock::now();
  const int result = maint::repair_module(adapters, timed, {maint::RepairTarget::Origin::dialog, {0x00, 0x0B}});
  const double total_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const double floor_ms = 600 + maint::restart_wait_ms + (30 + 20 + 5 + 3 + 3 + 3 + 20);
  std::printf("repair of a module outside every subnet: result %d, %8.1f ms, floor %8.1f ms\n", result, total_ms,
              floor_ms);
  for (const auto& [step, ms] : timed.ms) std::printf("  %-24s %8.1f ms\n", step.c_str(), ms);
  return result == 0 ? 0 : 1;
}
