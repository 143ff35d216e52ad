// quorvane-cli poll --cycles 10 over 32 sensor modules in the virtual LAN: its wall time
// beside its floor (a search alone, measured, plus the waits before each read that the
// baud rate prescribes and the 2 ms pause after each module), its CPU time and its peak
// memory. Runs as root.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "polling/polling_cycle.h"
#include "polling/query_frames.h"
#include "support/virtual_lan.h"

namespace {

constexpr int modules = 32;
constexpr int cycles = 10;
constexpr int baud_index = 1;  // the settings' default, 19200 bit/s

struct Run {
  bool ok = false;
  double wall_ms = 0;
  double cpu_ms = 0;
  long peak_kb = 0;
  int records = 0;
};

// Runs the binary in the calling thread's namespace, output counted and dropped.
Run run(const std::vector<std::string>& arguments) {
  Run result;
  int out[2];
  if (pipe(out) != 0) return result;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    std::vector<char*> argv{const_cast<char*>(QV_CLI)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(QV_CLI, argv.data());
    _exit(127);
  }
  close(out[1]);
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
    for (ssize_t i = 0; i < n; ++i) result.records += buffer[i] == '\n';
  }
  close(out[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  result.cpu_ms = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  result.peak_kb = usage.ru_maxrss;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

}  // namespace

int main() {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24");
  topology.add_sensor_modules(1, modules, 100);
  test::VirtualLan lan(topology);
  if (!lan.ok()) {
    std::printf("virtual LAN failed: %s\n", lan.error().c_str());
    return 1;
  }
  test::PcNamespaceScope pc(lan);

  const Run search = run({"search", "--format", "csv"});
  const Run poll = run({"poll", "--cycles", std::to_string(cycles), "--period", "0", "--format", "csv"});
  if (!search.ok || !poll.ok) {
    std::printf("quorvane-cli failed (search %s, poll %s)\n", search.ok ? "ok" : "failed", poll.ok ? "ok" : "failed");
    return 1;
  }
  // The emulated modules offer the extended reading: the first cycle reads the standard
  // reply, every later one the extended.
  auto cycle_floor_ms = [](int reply_bytes) {
    return modules * (polling::wait_before_read_ms(false, baud_index, polling::text_request_bytes, reply_bytes) +
                      polling::row_pause_ms);
  };
  const double polling_floor_ms =
      cycle_floor_ms(polling::standard_reply_bytes) + (cycles - 1) * cycle_floor_ms(polling::extended_reply_bytes);
  std::printf("quorvane-cli poll --cycles %d over %d modules: %d records\n", cycles, modules, poll.records - 1);
  std::printf("  wall time  %8.0f ms   floor %8.0f ms (search alone %.0f ms + %d cycles' waits %.0f ms)\n",
              poll.wall_ms, search.wall_ms + polling_floor_ms, search.wall_ms, cycles, polling_floor_ms);
  std::printf("  CPU time   %8.0f ms   (search alone %.0f ms)\n", poll.cpu_ms, search.cpu_ms);
  std::printf("  peak memory %7.1f MB  (goal < 15 MB; search alone %.1f MB)\n", poll.peak_kb / 1024.0,
              search.peak_kb / 1024.0);
  return 0;
}
