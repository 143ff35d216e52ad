// module-emulator CONFIG_FILE: plays every module the file lists until SIGTERM or SIGINT.
#include <sys/signalfd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "config_parser.h"
#include "emulated_module.h"
#include "event_loop.h"
#include "fd_handle.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "module-emulator: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return fail("usage: module-emulator CONFIG_FILE");
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) return fail(std::string("cannot read ") + argv[1] + ": " + std::strerror(errno));
  std::stringstream text;
  text << file.rdbuf();
  sim::ConfigParseResult parsed = sim::parse_config_text(text.str(), argv[1]);
  if (!parsed.error.empty()) return fail(parsed.error);

  // The stop signals arrive through a descriptor, so the loop ends between two events.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
  sim::FdHandle signals(::signalfd(-1, &stop_signals, SFD_CLOEXEC | SFD_NONBLOCK));
  if (!signals.valid()) return fail(std::string("signalfd: ") + std::strerror(errno));

  sim::EventLoop loop;
  loop.watch(signals.get(), [&loop] { loop.stop(); });
  std::vector<std::unique_ptr<sim::EmulatedModule>> modules;
  for (sim::ModuleConfig& config : parsed.modules) {
    modules.push_back(std::make_unique<sim::EmulatedModule>(std::move(config), loop));
    const std::string error = modules.back()->start();
    if (!error.empty()) return fail(error);
  }
  std::fprintf(stderr, "module-emulator: %zu module(s) ready\n", modules.size());
  const int poll_error = loop.run();
  if (poll_error != 0) return fail(std::string("poll: ") + std::strerror(poll_error));
  return 0;
}
