// The remote test dialog through the scripted backend: every message in order, and what
// each answer leads to.
#include "maint/remote_test_dialog.h"

#include <gtest/gtest.h>

#include "discovery_test_bytes.h"
#include "support/ipv4_text.h"
#include "support/scripted_dialog.h"
#include "tools/icmp_probe.h"
#include "ui/texts.h"

namespace {

using D = maint::RemoteTestDialog;
using test::ipv4;
using Texts = std::vector<std::string>;

const char* const detected = "此IP地址有效! 检测到网络设备!";
const char* const not_detected = "此IP地址未检测到网络设备，请重新测试!";
const char* const read_done = "此IP地址网络设备参数获取成功!";
const char* const read_failed = "网络设备参数获取失败! 是否尝试手动设置连接方式?";

// What each step of the test answers: the ARP probe, the echo probe (replies), the address
// lookup, the module read and the work-mode dialog.
struct Outcomes {
  int arp = 0, echo = 1, lookup = 0, read = 0, work_mode = 1;
};

struct Rig {
  netenv::AdapterTable adapters = discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}});
  platform::Ipv4Address remote_ip = ipv4("10.77.0.20");
  bool set_by_hand = true;
  test::ScriptedView main_window;
  Outcomes outcome;
  std::string cancelled_at;  // the step after which Stop or the close box acts
  Texts steps;
  platform::Ipv4Address probed;
  D dialog{
      {adapters, remote_ip, set_by_hand},
      {main_window, [this](platform::Ipv4Address ip) { return probed = ip, steps.push_back("arp"), outcome.arp; },
       [this](platform::Ipv4Address ip) { return probed = ip, steps.push_back("echo"), outcome.echo; },
       [this] { return steps.push_back("lookup"), outcome.lookup; }, [this] { return steps.push_back("read"), outcome.read; },
       [this] { return steps.push_back("work mode"), outcome.work_mode; }, [this] { steps.push_back("by hand"); },
       [this] { return !steps.empty() && steps.back() == cancelled_at; }}};
  test::ScriptedDialog view{dialog};

  Rig() { EXPECT_TRUE(view.open()); }
  void confirm(const std::string& address) {
    view.type(D::address_edit, address);
    view.click(D::ok_button);
  }
};

// The dialog opens on the last address, the focus there, and every test starts without a
// module described by hand. Each refusal shows one message, puts the focus back in the
// field and probes nothing.
TEST(RemoteTestDialog, OpensOnTheLastAddressAndRefusesBadOnes) {
  const std::pair<const char*, const char*> cases[] = {
      {"10.77.0", "IP地址结构(x.x.x.x)错误，请重新输入!"}, {"10.77.0.300", "IP地址输入错误,请重新输入!"},
      {"0.0.0.0", "IP地址输入错误,请重新输入!"},         {"255.255.255.255", "IP地址输入错误,请重新输入!"},
      {"224.0.0.9", "IP地址类别范围错误(>=D类),请重新输入!"},  // the address checks, as for a gateway
  };
  for (const auto& [typed, message] : cases) {
    SCOPED_TRACE(typed);
    Rig rig;
    EXPECT_EQ(rig.view.text(D::address_edit), "10.77.0.20");
    EXPECT_EQ(rig.view.focused(), D::address_edit);
    EXPECT_FALSE(rig.set_by_hand);
    rig.view.focus(D::ok_button);
    rig.confirm(typed);
    ASSERT_EQ(rig.view.texts(), Texts{message});
    EXPECT_EQ(rig.view.messages[0].caption, "错误提示");
    EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
    EXPECT_EQ(rig.view.focused(), D::address_edit);
    EXPECT_FALSE(rig.view.closed());
    EXPECT_TRUE(rig.steps.empty());
    EXPECT_EQ(rig.remote_ip, ipv4("10.77.0.20"));
  }
}

// One address confirmed, each step's outcome scripted: the steps taken, the boxes shown and
// how the dialog ended (-1: still open). Stop or the close box during a step closes the
// dialog at once, saying nothing more. (Nothing answering at all, and a module described by
// hand: the remote test LAN test.)
TEST(RemoteTestDialog, EachStepsOutcomeDecidesTheNext) {
  const Texts to_echo = {"arp", "echo"}, to_lookup = {"arp", "echo", "lookup"}, to_read = {"arp", "echo", "lookup", "read"};
  const ui::Answer yes = ui::Answer::yes;
  struct Case {
    Outcomes outcome;
    ui::Answer answer;  // to the question after a failed read
    Texts steps, shown;
    int result;
    std::string cancelled_at = {};
  } cases[] = {
      {{1, 0, 0, 0, 1}, yes, {"arp", "lookup", "read"}, {detected, read_done}, 1},  // an ARP answer spares the echo
      {{0, -1, 0, 0, 1}, yes, to_echo, {not_detected}, -1},  // a probe that could not run counts as no answer
      // Without CAP_NET_RAW nothing can be probed: the operator is told, and the queries decide.
      {{0, tools::echo_not_permitted, 0, 0, 1}, yes, to_read, {ui::texts::remote_raw_right_missing, read_done}, 1},
      {{0, 1, -1, 0, 1}, yes, to_lookup, {detected, "网络参数获取失败(-1)! 请检查本机网络设置,重新尝试!"}, 0},
      // Services configured, none reached: told, and the module is read all the same.
      {{0, 1, -40, 0, 1}, yes, to_read, {detected, "网络参数获取失败(-40)! 请检查本机网络设置,重新尝试!", read_done}, 1},
      {{0, 1, 0, -2, 1}, ui::Answer::no, to_read, {detected, read_failed}, -1},  // the operator tries another address
      {{0, 1, 0, -2, 0}, yes, {"arp", "echo", "lookup", "read", "work mode"}, {detected, read_failed}, 0},
      {{0, 1, 0, -2, 1}, yes, to_echo, {}, 0, "echo"},
      {{0, 1, 0, -2, 1}, yes, to_lookup, {detected}, 0, "lookup"},
      {{0, 1, 0, -2, 1}, yes, to_read, {detected}, 0, "read"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.outcome = c.outcome;
    rig.cancelled_at = c.cancelled_at;
    rig.view.answers = {ui::Answer::ok, c.answer};
    rig.confirm("10.77.0.21");
    SCOPED_TRACE(c.shown.empty() ? c.cancelled_at : c.shown.back());
    EXPECT_EQ(rig.steps, c.steps);
    EXPECT_EQ(rig.view.texts(), c.shown);
    for (const test::ShownMessage& m : rig.view.messages) {
      EXPECT_EQ(m.caption, m.text == not_detected ? "错误提示" : "系统提示");
      EXPECT_EQ(m.icon, m.text == detected || m.text == read_done ? ui::Icon::information : ui::Icon::warning);
      EXPECT_EQ(m.buttons, m.text == read_failed ? ui::Buttons::yes_no : ui::Buttons::ok);
    }
    EXPECT_EQ(rig.view.result(), c.result);
    EXPECT_EQ(rig.probed, ipv4("10.77.0.21"));
    EXPECT_EQ(rig.remote_ip, ipv4("10.77.0.21"));
    EXPECT_EQ(rig.set_by_hand, c.steps.back() == "work mode");
  }
}

}  // namespace
