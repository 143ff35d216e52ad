#pragma once
// The virtual LAN with the virtual Internet behind it, shared by the ICMP probe and the
// external address tests, and the product's view of the PC built inside the PC's namespace.
#include <gtest/gtest.h>

#include <string>

#include "discovery/captured_rows.h"
#include "rawlink/capture_devices.h"
#include "rawlink/raw_ethernet.h"
#include "rawlink/system_raw_link.h"
#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "support/virtual_internet_sites.h"
#include "tools/icmp_probe.h"

namespace test {

// Subnet 1: the PC's 192.168.1.10 and .11 behind the router's internet leg 192.168.1.1 and
// a module at 192.168.1.100. Subnet 2: the PC's 192.168.5.3 behind the router's unreachable
// leg 192.168.5.1 and a module at 192.168.5.20. So address entries 0 and 1 reach the sites
// on 203.0.113.0/25, entry 2 gets "network unreachable".
inline LanTopology internet_topology() {
  LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(1, "192.168.1.11/24").add_subnet(2, "192.168.5.3/24");
  topology.add_sensor_modules(1, 1, 100).add_sensor_modules(2, 1, 20);
  topology.routers.push_back({1, "192.168.1.1/24", RouterKind::internet});
  topology.routers.push_back({2, "192.168.5.1/24", RouterKind::unreachable});
  return topology;
}

using VirtualInternetTest = SharedLanTest<internet_topology>;

// The Adapter table with its capture devices matched by name, the raw-Ethernet state and
// the real links, as the program has them; build() inside the PC's namespace (of the
// internet topology unless told how many addresses it has).
struct PcView {
  netenv::AdapterTable adapters;
  rawlink::RawEthernetState state;
  platform::SystemWaitClock clock;
  rawlink::SystemRawLink link{clock, discovery::raw_search_queries()};
  tools::SystemIcmpLink icmp{clock};
  ScriptedView view;

  rawlink::RawEthernet raw() { return {adapters, state, link, false}; }
  void build(int address_count = 3) {
    ASSERT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view,
                                          rawlink::capture_matcher(state, link, view)),
              0);
    ASSERT_EQ(adapters.address_count, address_count);
    ASSERT_TRUE(adapters.capture_devices_matched);
    EXPECT_TRUE(view.messages.empty());
  }
};

}  // namespace test
