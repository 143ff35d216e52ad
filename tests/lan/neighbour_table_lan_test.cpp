// The kernel's ARP resolution between two network namespaces private to the test: the
// PC's side on one thread, a peer on another, joined by a veth pair.
#include "platform/neighbour_table.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "platform/wait_clock.h"
#include "support/fake_wait_clock.h"
#include "support/arp_test_frames.h"

namespace {

using test::ipv4;

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

TEST(NeighbourTable, ResolvesAnswersAndNothingElse) {
  bool ready = false;
  std::thread pc([&] {
    if (::unshare(CLONE_NEWNET) != 0 || !run("ip link add qvn0 type veth peer name qvn1")) return;
    std::promise<pid_t> peer_namespace;
    std::promise<bool> peer_configured;
    std::promise<void> done;
    std::thread peer([&] {
      if (::unshare(CLONE_NEWNET) != 0) {
        peer_namespace.set_value(-1);
        return;
      }
      peer_namespace.set_value(::gettid());
      // Wait for the link to arrive, then configure it; the namespace lives while this thread does.
      peer_configured.set_value(run("ip link set lo up") &&
                                run("for i in $(seq 30); do ip link show qvn1 && break; sleep 0.1; done") &&
                                run("ip addr add 192.0.2.2/24 dev qvn1") && run("ip link set qvn1 up"));
      done.get_future().wait();
    });
    pid_t peer_tid = peer_namespace.get_future().get();
    bool moved = peer_tid > 0 && run("ip link set qvn1 netns " + std::to_string(peer_tid));
    std::future<bool> configured = peer_configured.get_future();
    ready = moved && configured.get() && run("ip addr add 192.0.2.1/24 dev qvn0") && run("ip link set qvn0 up") &&
            run("ip neigh add 192.0.2.9 lladdr 02:00:00:00:00:09 dev qvn0 nud permanent");
    if (ready) {
      // The peer's answer takes real time; the wait for a silent address runs on a fake clock.
      platform::SystemWaitClock real;
      EXPECT_TRUE(platform::resolve_neighbour(real, ipv4("192.0.2.2"), 1000));
      EXPECT_TRUE(platform::resolve_neighbour(real, ipv4("192.0.2.9"), 0));  // a static entry needs no wait

      test::FakeWaitClock fake;
      const std::uint32_t start_ms = fake.tick_count_ms();
      EXPECT_FALSE(platform::resolve_neighbour(fake, ipv4("192.0.2.3"), 300));
      const std::uint32_t waited_ms = fake.tick_count_ms() - start_ms;
      EXPECT_GE(waited_ms, 300u);
      EXPECT_LT(waited_ms, 400u);
      EXPECT_FALSE(platform::resolve_neighbour(fake, ipv4("127.0.0.1"), 0));
    }
    done.set_value();
    peer.join();
  });
  pc.join();
  EXPECT_TRUE(ready) << "this test needs network namespaces of its own and iproute2 (run as root)";
}

}  // namespace
