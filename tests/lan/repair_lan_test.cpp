// Module repair against emulated modules: the presence probe, the address assignment by
// MAC tail, the module's restart at its new address and the setup-port script, as the
// operator sees them through the repair dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "lan/lan_operator.h"
#include "maint/presence_probe.h"
#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "platform/ipv4_address.h"
#include "platform/udp_socket.h"
#include "platform/wait_clock.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"
#include "ui/texts.h"

namespace {

constexpr const char* lost_mac = "00:20:4a:d0:00:0b";

// The PC on 192.168.5.3/24 and one module on its wire at `address`, its MAC ending 00 0B,
// its config completed by `extra`.
test::LanTopology one_module(const std::string& address, const std::string& gateway, const std::string& extra) {
  return test::LanTopology("192.168.5.3/24").add_sensor_module("lost", 1, lost_mac, address, gateway, extra);
}

bool has(const std::string& log, const std::string& line) { return log.find(line) != std::string::npos; }

TEST(RepairLan, BringsAModuleFromOutsideEverySubnetBackOnPort10050) {
  test::VirtualLanAtPc lan(one_module("10.0.0.7", "10.0.0.1", "port = 4001"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::LanOperator op;
  op.repair({"d0", "00", "0b"});
  const std::string log = lan.emulator_log("lost");
  EXPECT_EQ(op.seen, std::vector<std::string>{ui::texts::parameters_written}) << log;
  // The restart wait, then the after-write pause.
  EXPECT_EQ(std::count(op.clock.sleeps_ms.begin(), op.clock.sleeps_ms.end(), maint::restart_wait_ms), 2);

  EXPECT_TRUE(has(log, "address assignment 00 0B -> 192.168.5.1\n")) << log;
  // The password answered the prompt, then the channel section got its two answers and
  // the menu was left with 9.
  EXPECT_TRUE(has(log, "setup received 30 30 30 30\n")) << log;
  EXPECT_TRUE(has(log, "setup received 33 38 34 30 30 0D\n")) << log;
  EXPECT_TRUE(has(log, "setup received 31 30 30 35 30 0D\n")) << log;
  EXPECT_TRUE(has(log, "setup received 39 0D\nmodule-emulator: setup stored baud code 0 port 10050\n")) << log;

  // The module restarted with what it stored (1 s later) during the after-write pause.
  ASSERT_EQ(op.search().size(), 1u);
  const discovery::ModuleRow& found = op.row(0);
  EXPECT_EQ(found.ip.dotted(), "192.168.5.1");
  EXPECT_EQ(found.port, 10050);
  EXPECT_EQ(found.baud_code, 0);
}

// Counts the presence probe's waits for a packet: one per packet caught, one for the silence.
class CountingClock : public platform::SystemWaitClock {
 public:
  int readable_waits = 0;
  platform::WaitResult wait_readable(int fd, long seconds, long microseconds) override {
    ++readable_waits;
    return SystemWaitClock::wait_readable(fd, seconds, microseconds);
  }
};

TEST(PresenceProbeLan, OneProbePerInterfaceAndTheWaitLastsWhileOthersTalk) {
  test::LanTopology topology = one_module("192.168.5.20", "192.168.5.1", "no_presence_answer = yes");
  topology.add_subnet(1, "192.168.6.3/24");  // a second address on the same adapter
  test::VirtualLanAtPc lan(topology);
  ASSERT_TRUE(lan.ok()) << lan.error();

  // The module's namespace sends five datagrams to the PC, 300 ms apart, while the probe waits.
  std::thread chatter([&lan] {
    test::NamespaceScope module(lan.module_namespace("lost"));
    platform::SocketHandle socket = platform::open_udp_socket();
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      const std::uint8_t noise[] = {'n', 'o', 'i', 's', 'e'};
      platform::send_datagram(socket.fd(), platform::Ipv4Address::from_host_order(0xC0A80503u), 9, noise);
    }
  });
  test::ScriptedView view;
  netenv::AdapterTable adapters;
  ASSERT_EQ(netenv::build_adapter_table(adapters, platform::list_adapters(), view), 0);
  ASSERT_EQ(adapters.address_count, 2);
  CountingClock clock;
  const maint::PresenceProbeResult result = maint::presence_probe(adapters, -1, {0x00, 0x0B}, clock);
  chatter.join();

  EXPECT_EQ(result.code, maint::presence_no_answer);
  EXPECT_FALSE(result.raw_not_permitted);
  EXPECT_EQ(lan.emulator_logged_count("lost", "presence probe"), 1) << lan.emulator_log("lost");
  EXPECT_GE(clock.readable_waits, 4);  // most of the five packets, then 0.6 s of silence
}

}  // namespace
