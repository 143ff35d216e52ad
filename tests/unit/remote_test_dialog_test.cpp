// The remote test dialog through the scripted backend: every message in order, and what
// each answer leads to.
#include "maint/remote_test_dialog.h"

#include <gtest/gtest.h>

#include "discovery_test_bytes.h"
#include "support/ipv4_text.h"
#include "support/scripted_dialog.h"
#include "tools/icmp_probe.h"

namespace {

using D = maint::RemoteTestDialog;
using test::ipv4;
using Texts = std::vector<std::string>;

const char* const detected = "此IP地址有效! 检测到网络设备!";
const char* const read_failed = "网络设备参数获取失败! 是否尝试手动设置连接方式?";

struct Rig {
  netenv::AdapterTable adapters = discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}});
  platform::Ipv4Address remote_ip = ipv4("10.77.0.20");
  bool set_by_hand = true;
  test::ScriptedView main_window;
  int arp_answer = 0, echo_replies = 1, lookup_code = 0, read_code = 0, work_mode_result = 1;
  std::string cancelled_at;  // the step after which Stop or the close box acts
  Texts steps;
  D dialog{
      {adapters, remote_ip, set_by_hand},
      {main_window, [this](platform::Ipv4Address ip) { return steps.push_back("arp " + ip.dotted()), arp_answer; },
       [this](platform::Ipv4Address ip) { return steps.push_back("echo " + ip.dotted()), echo_replies; },
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

TEST(RemoteTestDialog, OpensOnTheLastAddressWithTheFocusThere) {
  Rig rig;
  EXPECT_EQ(rig.view.text(D::address_edit), "10.77.0.20");
  EXPECT_EQ(rig.view.focused(), D::address_edit);
  EXPECT_FALSE(rig.set_by_hand);  // every test starts without a module described by hand
}

// Each refusal shows one message, puts the focus back in the field and probes nothing.
TEST(RemoteTestDialog, TypedAddressesRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "IP地址结构(x.x.x.x)错误，请重新输入!"},      {"10.77.0", "IP地址结构(x.x.x.x)错误，请重新输入!"},
      {"10.77.0.300", "IP地址输入错误,请重新输入!"},     {"0.0.0.0", "IP地址输入错误,请重新输入!"},
      {"255.255.255.255", "IP地址输入错误,请重新输入!"}, {"224.0.0.9", "IP地址类别范围错误(>=D类),请重新输入!"},
      {"10.77.0.255", "IP地址为广播地址,请重新输入!"},   {"192.168.1.0", "IP地址为网名地址,请重新输入!"},
  };
  for (const auto& [typed, message] : cases) {
    SCOPED_TRACE(typed);
    Rig rig;
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

// (Nothing answering the probes at all: the remote test LAN test.)
TEST(RemoteTestDialog, AProbeThatCouldNotRunCountsAsNoAnswer) {
  Rig rig;
  rig.echo_replies = -1;
  rig.confirm("10.77.0.99");
  EXPECT_EQ(rig.steps, (Texts{"arp 10.77.0.99", "echo 10.77.0.99"}));
  EXPECT_EQ(rig.view.texts(), Texts{"此IP地址未检测到网络设备，请重新测试!"});
  EXPECT_EQ(rig.view.messages[0].caption, "错误提示");
  EXPECT_EQ(rig.view.focused(), D::address_edit);
  EXPECT_FALSE(rig.view.closed());
}

// (The messages of a module read: the remote test LAN test.)
TEST(RemoteTestDialog, AnArpAnswerSparesTheEchoProbe) {
  Rig rig;
  rig.arp_answer = 1;
  rig.confirm("10.77.0.21");
  EXPECT_EQ(rig.steps, (Texts{"arp 10.77.0.21", "lookup", "read"}));
  for (const test::ShownMessage& m : rig.view.messages) {
    EXPECT_EQ(m.caption, "系统提示");
    EXPECT_EQ(m.icon, ui::Icon::information);
  }
  EXPECT_EQ(rig.remote_ip, ipv4("10.77.0.21"));
  EXPECT_EQ(rig.view.result(), 1);
}

// Without CAP_NET_RAW nothing can be probed: the operator is told, and the queries decide.
TEST(RemoteTestDialog, ProbeWithoutTheRawRightGoesOnWithTheQueries) {
  Rig rig;
  rig.echo_replies = tools::echo_not_permitted;
  rig.confirm("10.77.0.20");
  EXPECT_EQ(rig.steps, (Texts{"arp 10.77.0.20", "echo 10.77.0.20", "lookup", "read"}));
  ASSERT_EQ(rig.view.messages.size(), 2u);
  EXPECT_NE(rig.view.messages[0].text.find("CAP_NET_RAW"), std::string::npos);
  EXPECT_EQ(rig.view.messages[0].icon, ui::Icon::warning);
  EXPECT_EQ(rig.view.result(), 1);
}

TEST(RemoteTestDialog, FailedLookupShowsItsCodeAndClosesUnlessNoServiceAnswered) {
  Rig rig;
  rig.lookup_code = -1;
  rig.confirm("10.77.0.20");
  EXPECT_EQ(rig.view.texts(), (Texts{detected, "网络参数获取失败(-1)! 请检查本机网络设置,重新尝试!"}));
  EXPECT_EQ(rig.view.messages[1].caption, "系统提示");
  EXPECT_EQ(rig.view.messages[1].icon, ui::Icon::warning);
  EXPECT_EQ(rig.steps.back(), "lookup");
  EXPECT_EQ(rig.view.result(), 0);

  Rig offline;  // services configured, none reached: told, and the module is read all the same
  offline.lookup_code = -40;
  offline.confirm("10.77.0.20");
  EXPECT_EQ(offline.view.texts(), (Texts{detected, "网络参数获取失败(-40)! 请检查本机网络设置,重新尝试!", "此IP地址网络设备参数获取成功!"}));
  EXPECT_EQ(offline.steps.back(), "read");
  EXPECT_EQ(offline.view.result(), 1);
}

// (Yes and a work mode chosen: the remote test LAN test.)
TEST(RemoteTestDialog, UnreadModuleMayBeDescribedByHand) {
  Rig no;  // the operator tries another address
  no.read_code = -2;
  no.view.answers = {ui::Answer::ok, ui::Answer::no};
  no.confirm("10.77.0.30");
  EXPECT_EQ(no.view.texts(), (Texts{detected, read_failed}));
  EXPECT_EQ(no.view.messages[1].buttons, ui::Buttons::yes_no);
  EXPECT_EQ(no.view.messages[1].icon, ui::Icon::warning);
  EXPECT_FALSE(no.view.closed() || no.set_by_hand);

  Rig left;  // yes, then the work-mode dialog left
  left.read_code = -2;
  left.work_mode_result = 0;
  left.confirm("10.77.0.30");
  EXPECT_EQ(left.steps.back(), "work mode");
  EXPECT_EQ(left.view.result(), 0);
}

// Stop or the close box during a step: the dialog closes at once, saying nothing more.
TEST(RemoteTestDialog, AbandonedStepClosesTheDialogSilently) {
  const std::pair<const char*, Texts> cases[] = {{"echo 10.77.0.20", {}}, {"lookup", {detected}}, {"read", {detected}}};
  for (const auto& [step, shown] : cases) {
    Rig rig;
    rig.cancelled_at = step;
    rig.read_code = -2;  // a cancelled read fails
    rig.confirm("10.77.0.20");
    EXPECT_EQ(rig.steps.back(), step);
    EXPECT_EQ(rig.view.texts(), shown) << step;
    EXPECT_EQ(rig.view.result(), 0) << step;
  }
}

}  // namespace
