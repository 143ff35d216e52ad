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

struct Rig {
  netenv::AdapterTable adapters = discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}});
  platform::Ipv4Address remote_ip = ipv4("10.77.0.20");
  bool set_by_hand = true;
  test::ScriptedView main_window;
  int arp_answer = 0, echo_replies = 1, lookup_code = 0, read_code = 0, work_mode_result = 1;
  std::string cancelled_at;  // the step after which Stop or the close box acts
  Texts steps;
  platform::Ipv4Address probed;
  D dialog{
      {adapters, remote_ip, set_by_hand},
      {main_window, [this](platform::Ipv4Address ip) { return probed = ip, steps.push_back("arp"), arp_answer; },
       [this](platform::Ipv4Address ip) { return probed = ip, steps.push_back("echo"), echo_replies; },
       [this] { return steps.push_back("lookup"), lookup_code; }, [this] { return steps.push_back("read"), read_code; },
       [this] { return steps.push_back("work mode"), work_mode_result; }, [this] { steps.push_back("by hand"); },
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
      {"", "IP地址结构(x.x.x.x)错误，请重新输入!"},      {"10.77.0", "IP地址结构(x.x.x.x)错误，请重新输入!"},
      {"10.77.0.300", "IP地址输入错误,请重新输入!"},     {"0.0.0.0", "IP地址输入错误,请重新输入!"},
      {"255.255.255.255", "IP地址输入错误,请重新输入!"}, {"224.0.0.9", "IP地址类别范围错误(>=D类),请重新输入!"},
      {"10.77.0.255", "IP地址为广播地址,请重新输入!"},   {"192.168.1.0", "IP地址为网名地址,请重新输入!"},
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
    int arp, echo, lookup, read;
    ui::Answer answer;  // to the question after a failed read
    int work_mode;
    Texts steps, shown;
    int result;
    std::string cancelled_at = {};
  } cases[] = {
      {1, 0, 0, 0, yes, 1, {"arp", "lookup", "read"}, {detected, read_done}, 1},  // an ARP answer spares the echo
      {0, -1, 0, 0, yes, 1, to_echo, {not_detected}, -1},  // a probe that could not run counts as no answer
      // Without CAP_NET_RAW nothing can be probed: the operator is told, and the queries decide.
      {0, tools::echo_not_permitted, 0, 0, yes, 1, to_read, {ui::texts::remote_raw_right_missing, read_done}, 1},
      {0, 1, -1, 0, yes, 1, to_lookup, {detected, "网络参数获取失败(-1)! 请检查本机网络设置,重新尝试!"}, 0},
      // Services configured, none reached: told, and the module is read all the same.
      {0, 1, -40, 0, yes, 1, to_read, {detected, "网络参数获取失败(-40)! 请检查本机网络设置,重新尝试!", read_done}, 1},
      {0, 1, 0, -2, ui::Answer::no, 1, to_read, {detected, read_failed}, -1},  // the operator tries another address
      {0, 1, 0, -2, yes, 0, {"arp", "echo", "lookup", "read", "work mode"}, {detected, read_failed}, 0},
      {0, 1, 0, -2, yes, 1, to_echo, {}, 0, "echo"},
      {0, 1, 0, -2, yes, 1, to_lookup, {detected}, 0, "lookup"},
      {0, 1, 0, -2, yes, 1, to_read, {detected}, 0, "read"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.arp_answer = c.arp;
    rig.echo_replies = c.echo;
    rig.lookup_code = c.lookup;
    rig.read_code = c.read;
    rig.work_mode_result = c.work_mode;
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
