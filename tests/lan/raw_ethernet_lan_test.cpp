// The raw-Ethernet layer against the real kernels of the virtual LAN: a module outside the
// PC's subnets seen only by the ARP request of its first answer (the demo LAN's search sees
// one on the second subnet), the ARP probe, the kernel's own resolution, and a search
// without the right to capture.
#include <gtest/gtest.h>

#include <thread>

#include "app/main_window.h"
#include "lan/private_network.h"
#include "lan/virtual_internet.h"
#include "rawlink/address_probe.h"
#include "support/ipv4_text.h"
#include "support/scripted_program.h"
#include "ui/texts.h"

namespace {

using test::ipv4;

using ui::ButtonId;
using ui::ListId;

// Two modules on the first subnet, one on the second, and one on the bridge of
// outsider_subnet whose address fits neither subnet; its gateway never answers and its
// kernel keeps the default ARP timers.
test::LanTopology lan_with_an_outsider(int outsider_subnet = 2, const std::string& outsider_extra = "") {
  test::LanTopology t;
  t.add_subnet(1, "192.168.1.10/24").add_subnet(2, "192.168.5.3/24");
  t.add_sensor_modules(1, 2, 100).add_sensor_modules(2, 1, 40);
  return t.add_sensor_module("outside", outsider_subnet, "00:20:4a:01:02:03", "10.0.0.7", "10.0.0.1", outsider_extra);
}

// Such a module ARPs for its gateway when the first query reaches it (its kernel sends the
// request at 0, 1 and 2 s, then gives up) and here answers no later query, so its last ARP
// frame leaves before the first device's capture pass begins, about 2.4 s in.
TEST(RawEthernetLan, ListsAnOutsiderOnTheFirstSubnetByTheArpRequestItSendsAtTheFirstQuery) {
  test::VirtualLanAtPc lan(lan_with_an_outsider(1, "answered_queries = 1"));
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::ScriptedProgram p;
  ASSERT_TRUE(p.window.create());
  p.view.messages.clear();
  p.window.on_command(ButtonId::search);
  EXPECT_TRUE(p.view.messages.empty());
  const auto& lines = p.view.lines(ListId::modules);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "04    *   10.  0.  0.  7 [1:192.168.xx]  <00204A-010203>   ----- <10.0.0.1/--.--.--.-->");
}

TEST(RawEthernetLan, ProbesAddressesWithItsOwnArpRequestAndWithTheKernel) {
  test::LanTopology topology;
  topology.add_subnet(1, "192.168.1.10/24").add_subnet(2, "192.168.5.3/24");
  topology.add_sensor_modules(2, 1, 40);
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  test::PcView pc;
  ASSERT_NO_FATAL_FAILURE(pc.build(2));
  netenv::AdapterTable& adapters = pc.adapters;
  rawlink::RawEthernetState& state = pc.state;
  rawlink::RawEthernet raw{adapters, state, pc.link, true};

  EXPECT_EQ(rawlink::arp_probe(raw, ipv4("192.168.5.40")), 1);
  EXPECT_EQ(state.probe_subnet_index, 1);  // found only after the first subnet was tried
  EXPECT_EQ(rawlink::arp_probe(raw, ipv4("192.168.1.77")), 0);
  EXPECT_EQ(rawlink::arp_probe(raw, ipv4("192.168.5.3")), 1);  // the PC's own address
  EXPECT_EQ(state.probe_subnet_index, 1);

  // Remote mode asks the program's own probe, elsewhere the kernel resolves.
  EXPECT_EQ(rawlink::probe_address_in_use(raw, ipv4("192.168.5.40")), 1);
  rawlink::RawEthernet kernel = pc.raw();
  EXPECT_EQ(rawlink::probe_address_in_use(kernel, ipv4("192.168.5.40")), 1);
  EXPECT_EQ(rawlink::probe_address_in_use(kernel, ipv4("192.168.5.77")), 0);

  netenv::AdapterTable unmatched = adapters;
  unmatched.capture_devices_matched = false;
  rawlink::RawEthernet early{unmatched, state, pc.link, true};
  EXPECT_EQ(rawlink::arp_probe(early, ipv4("192.168.5.40")), rawlink::probe_devices_unmatched);
}

TEST(RawEthernetLan, WithoutTheRightToCaptureListsTheModulesThatAnsweredAndSaysSoOnce) {
  test::VirtualLan lan(lan_with_an_outsider());
  ASSERT_TRUE(lan.ok()) << lan.error();
  std::thread([&lan] {  // the right is dropped for this thread only
    test::PcNamespaceScope pc(lan);
    ASSERT_TRUE(pc.ok()) << pc.error();
    ASSERT_TRUE(test::drop_raw_right());
    test::ScriptedProgram p;
    ASSERT_TRUE(p.window.create());
    for (int search = 0; search < 2; ++search) {
      p.view.messages.clear();
      p.window.on_command(ButtonId::search);
      EXPECT_EQ(p.view.lines(ListId::modules).size(), 3u);  // the outsider cannot be seen
      if (search == 0) {
        ASSERT_EQ(p.view.messages.size(), 1u);
        EXPECT_EQ(p.view.messages[0].text.rfind(ui::texts::capture_open_failed, 0), 0u);
        EXPECT_NE(p.view.messages[0].text.find("CAP_NET_RAW"), std::string::npos);
      } else {
        EXPECT_TRUE(p.view.messages.empty());
      }
    }
  }).join();
}

}  // namespace
