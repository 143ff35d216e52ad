// The kernel's interface list, read in a network namespace of its own.
#include "platform/adapters.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <cstdlib>
#include <thread>

namespace {

struct Outcome {
  bool isolated = false;
  std::vector<std::string> failed_commands;
  platform::AdapterListing listing;
};

// Sets up interfaces and lists them inside a network namespace private to one thread, so
// the host's own interfaces are neither seen nor touched; the namespace and its virtual
// interfaces vanish when the thread ends.
Outcome list_in_own_namespace(const std::vector<std::string>& commands) {
  Outcome outcome;
  std::thread worker([&] {
    if (unshare(CLONE_NEWNET) != 0) return;
    outcome.isolated = true;
    for (const std::string& command : commands) {
      if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) outcome.failed_commands.push_back(command);
    }
    outcome.listing = platform::list_adapters();
  });
  worker.join();
  return outcome;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(AdapterListing, KernelInterfacesThatAreUpInIndexOrderWithoutLoopback) {
  Outcome outcome = list_in_own_namespace({
      "ip link set lo up",
      "ip tuntap add dev qvt0 mode tun",
      "ip link add qvz0 index 10 type bridge",
      "ip link set qvz0 address 02:00:00:00:00:0a",
      "ip addr add 10.9.0.1/24 dev qvz0",
      "ip addr add 10.9.1.1/30 dev qvz0 label qvz0:1",
      "ip link add qva0 index 20 type bridge",
      "ip link add qvd0 index 30 type bridge",
      "ip addr add 10.9.2.1/24 dev qvd0",
      "ip link set qvt0 up",
      "ip link set qvz0 up",
      "ip link set qva0 up",
  });
  if (!outcome.isolated) FAIL() << "creating a network namespace needs CAP_SYS_ADMIN: run the tests as root";
  ASSERT_TRUE(outcome.failed_commands.empty()) << outcome.failed_commands.front();
  ASSERT_EQ(outcome.listing.status, 0);
  const auto& adapters = outcome.listing.adapters;
  ASSERT_EQ(adapters.size(), 3u);

  EXPECT_EQ(adapters[0].name, "qvt0");
  EXPECT_EQ(adapters[0].type, platform::adapter_type_other);
  EXPECT_EQ(adapters[0].mac, (std::array<std::uint8_t, 6>{}));
  EXPECT_EQ(adapters[0].addresses, (Pairs{{"0.0.0.0", "0.0.0.0"}}));

  EXPECT_EQ(adapters[1].name, "qvz0");
  EXPECT_EQ(adapters[1].type, platform::adapter_type_ethernet);
  EXPECT_EQ(adapters[1].mac, (std::array<std::uint8_t, 6>{0x02, 0, 0, 0, 0, 0x0a}));
  EXPECT_EQ(adapters[1].addresses, (Pairs{{"10.9.0.1", "255.255.255.0"}, {"10.9.1.1", "255.255.255.252"}}));

  EXPECT_EQ(adapters[2].name, "qva0");
  EXPECT_EQ(adapters[2].type, platform::adapter_type_ethernet);
  EXPECT_EQ(adapters[2].addresses, (Pairs{{"0.0.0.0", "0.0.0.0"}}));
}

}  // namespace
