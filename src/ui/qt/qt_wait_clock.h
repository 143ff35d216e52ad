#pragma once
// The program's WaitClock: waits in slices of at most 10 ms and lets the window's event loop
// run between them, so the window repaints and Stop or the close box act while the GUI
// thread's exchanges wait. Socket notifiers are held back meanwhile: the upload server's
// readiness is handled between commands, never inside a wait.
#include "platform/wait_clock.h"

namespace ui::qt {

class QtWaitClock final : public platform::WaitClock {
 public:
  std::uint32_t tick_count_ms() override;
  std::tm local_time() override;
  platform::WaitResult wait_readable(int fd, long seconds, long microseconds) override;
  platform::WaitResult wait_writable(int fd, long seconds, long microseconds) override;
  bool sleep_ms(int milliseconds) override;

 private:
  // fd < 0: a plain sleep.
  platform::WaitResult wait_for(int fd, bool for_write, long long duration_us);
};

}  // namespace ui::qt
