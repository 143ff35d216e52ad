#pragma once
// The program as the operator starts it, in a fresh directory of its own, with the main
// window's logic over the scripted view.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/main_window.h"
#include "platform/wait_clock.h"
#include "support/fake_raw_link.h"
#include "support/fake_wait_clock.h"
#include "support/fresh_start_directory.h"
#include "support/scripted_view.h"

namespace test {

// Real time unless the test brings a clock of its own (a FakeWaitClock).
struct ScriptedProgram {
  explicit ScriptedProgram(app::MainWindowServices services = {}, platform::WaitClock* clock = nullptr)
      : window(context, view, clock ? *clock : system_clock, std::move(services)) {}

  platform::SystemWaitClock system_clock;
  FreshStartDirectory directory;
  app::ProgramContext context;
  ScriptedView view;
  app::MainWindow window;
};

// One Ethernet adapter "lan1" with one address.
inline platform::AdapterListing one_adapter_listing(const char* ip, const char* mask) {
  platform::AdapterListing listing;
  platform::PlatformAdapter adapter;
  adapter.type = 6;
  adapter.name = "lan1";
  adapter.addresses = {{ip, mask}};
  listing.adapters = {adapter};
  return listing;
}
inline platform::AdapterListing lan_adapter() { return one_adapter_listing("192.168.1.10", "255.255.255.0"); }
// 127.0.0.1/32: the search's broadcasts stay on loopback.
inline platform::AdapterListing loopback_adapter() { return one_adapter_listing("127.0.0.1", "255.255.255.255"); }

struct FakeClocked {
  explicit FakeClocked(FakeWaitClock c) : clock(std::move(c)) {}
  FakeWaitClock clock;
  std::shared_ptr<FakeRawLink> raw_link = std::make_shared<FakeRawLink>();
};

// The program on a fake clock, with one adapter at 192.168.1.10/24 (or `adapters`) and a
// fake raw link; the window created and its start-up messages cleared.
struct FakeClockProgram : FakeClocked, ScriptedProgram {
  explicit FakeClockProgram(FakeWaitClock c = FakeWaitClock{},
                            std::function<platform::AdapterListing()> adapters = lan_adapter, bool create = true)
      : FakeClocked(std::move(c)), ScriptedProgram({std::move(adapters), raw_link}, &clock) {
    if (create) {
      EXPECT_TRUE(window.create());
      view.messages.clear();
    }
  }
};

}  // namespace test
