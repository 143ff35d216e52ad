// The module parameter dialog through the scripted dialog: opening, the OK path step by
// step (message, caption and focus of each refusal), the change test, the re-addressing
// offer, the wireless visits and the remote mode.
#include "config/parameter_dialog.h"

#include <gtest/gtest.h>

#include "config/active_upload_dialog.h"
#include "config/wireless_dialog.h"
#include "discovery_test_bytes.h"
#include "platform/ipv4_address.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_dialog.h"
#include "ui/texts.h"

namespace {

using D = config::ParameterDialog;
using Texts = std::vector<std::string>;
using test::ipv4;
namespace t = ui::texts;

// The PC on 192.168.1.10/24; the module at 192.168.1.50/24, gateway .1, TCP, able to do
// SNMP and active upload.
struct Rig {
  netenv::AdapterTable adapters = discovery_test::adapters_with({{"192.168.1.10", "255.255.255.0", 0}});
  discovery::ModuleRow row;
  netenv::PendingParameters pending;
  config::WirelessCopies wireless;
  config::WirelessBlock backup{};
  test::FakeWaitClock clock;
  test::ScriptedView main_window;
  int probe_answer = 0;  // free
  int probes = 0, readdress_result = 0, readdresses = 0, read_result = 0, reads = 0, writes = 0, remote_result = 0,
      remote_writes = 0;
  std::function<int(ui::DialogLogic&)> sub_dialog = [](ui::DialogLogic&) { return 0; };
  bool remote = false;
  std::unique_ptr<D> dialog;
  std::unique_ptr<test::ScriptedDialog> view;

  Rig() {
    row.ip = ipv4("192.168.1.50");
    row.gateway = ipv4("192.168.1.1");
    row.host_bits = 8;
    row.port = 10050;
    row.snmp_capable = row.active_capable = true;
    row.server_ip = ipv4("192.168.1.10");
    row.server_port = 8005;
    wireless.as_read[config::wifi::topology] = 0x60;  // Infrastructure, channel 6, no security
    wireless.edited = wireless.as_read;
  }

  // Opens the dialog; false when it closed on opening.
  bool open(std::deque<ui::Answer> answers = {}) {
    dialog = std::make_unique<D>(
        config::ParameterSubject{row, adapters, pending, wireless, backup, remote, "203.0.113.7"},
        config::ParameterActions{clock, main_window,
                                 [this](platform::Ipv4Address) { return ++probes, probe_answer; },
                                 [this] { return ++readdresses, readdress_result; },
                                 [this] {
                                   ++reads;
                                   if (read_result == 0) wireless.edited = wireless.as_read;
                                   return read_result;
                                 },
                                 [this] { return ++writes, 0; },
                                 [this] { return ++remote_writes, remote_result; },
                                 [this](ui::DialogLogic& d) { return sub_dialog(d); }, {}});
    view = std::make_unique<test::ScriptedDialog>(*dialog);
    view->answers = std::move(answers);
    return view->open();
  }
  test::ScriptedDialog& v() { return *view; }
  int radio(int mode) const { return D::tcp_radio + mode; }
};

TEST(ParameterDialog, OpeningShowsTheModuleAndClearsTheUploadChoicesAndDefaultsReplaceIt) {
  Rig rig;
  rig.pending.active_upload_confirmed = rig.pending.server_by_name = true;
  rig.pending.dns_ip = platform::Ipv4Address::from_octets(0, 0, 0, 5);
  rig.pending.server_name[0] = 'x';
  rig.pending.server_name[1] = 'y';
  ASSERT_TRUE(rig.open());
  auto& v = rig.v();
  EXPECT_EQ(v.text(D::subnet_text), " 1-- 192.168.1.10 / 255.255.255.0");
  EXPECT_EQ(v.text(D::ip_edit), "192.168.1.50");
  EXPECT_EQ(v.text(D::gateway_edit), "192.168.1.1");
  EXPECT_EQ(v.text(D::mask_edit), "255.255.255.0");
  EXPECT_EQ(v.text(D::baud_edit), "38400");
  EXPECT_FALSE(v.shown(D::port_edit));
  EXPECT_FALSE(v.shown(D::baud_edit));
  EXPECT_TRUE(v.checked(rig.radio(discovery::tcp)));
  EXPECT_FALSE(v.shown(D::upload_button));
  EXPECT_FALSE(v.shown(D::wireless_button));
  EXPECT_TRUE(v.messages.empty());
  EXPECT_FALSE(rig.pending.active_upload_confirmed || rig.pending.server_by_name);
  EXPECT_EQ(rig.pending.dns_ip, platform::Ipv4Address{});
  EXPECT_EQ(rig.pending.server_name[0], 0);
  EXPECT_EQ(rig.pending.server_name[1], 'y');  // only the first byte is cleared

  v.click(rig.radio(discovery::snmp));
  EXPECT_FALSE(v.shown(D::upload_button));
  v.click(rig.radio(discovery::audp));
  EXPECT_TRUE(v.shown(D::upload_button));
  // The defaults ask for a dynamic address over TCP.
  v.click(D::defaults_button);
  for (int id : {D::ip_edit, D::gateway_edit, D::mask_edit}) EXPECT_EQ(v.text(id), "0.0.0.0");
  EXPECT_EQ(v.text(D::port_edit), "10050");
  EXPECT_TRUE(v.checked(rig.radio(discovery::tcp)));
  EXPECT_FALSE(v.checked(rig.radio(discovery::audp)));
  EXPECT_FALSE(v.shown(D::upload_button));

  // The module's capabilities decide the radios and the wireless button.
  Rig plain;
  plain.row.snmp_capable = plain.row.active_capable = false;
  plain.row.wireless = true;
  plain.row.work_mode = discovery::no_mode;
  ASSERT_TRUE(plain.open());
  for (int mode = 0; mode < 5; ++mode) EXPECT_FALSE(plain.v().checked(plain.radio(mode)));
  for (int mode : {discovery::snmp, discovery::audp, discovery::atcp}) EXPECT_FALSE(plain.v().shown(plain.radio(mode)));
  EXPECT_TRUE(plain.v().shown(D::wireless_button));
  EXPECT_TRUE(plain.v().enabled(D::wireless_button));
}

// One press of OK after typing into some fields: the boxes shown, the first one's caption and
// buttons, and the field that got the focus (0: none). The dialog stays open in every case.
struct OkCase {
  std::vector<std::pair<int, std::string>> typed;
  Texts shown;
  int focus;
  ui::Answer answer = ui::Answer::ok;  // to the first box; "确认修改?" after it gets No
  const char* caption = t::caption_error;
  ui::Buttons buttons = ui::Buttons::ok;
};

TEST(ParameterDialog, OkRefusesOrAsksOnceAndFocusesTheFieldAtFault) {
  const std::string advice = "\r\n<建议: 非特殊情况,网关IP应尽量保持为0.0.0.0, 不作设置,不影响正常使用>.";
  const int ip = D::ip_edit, gw = D::gateway_edit, mask = D::mask_edit, port = D::port_edit;
  const ui::Answer ok = ui::Answer::ok, yes = ui::Answer::yes, no = ui::Answer::no;
  const char* error = t::caption_error;
  const char* notice = t::caption_notice;
  const std::vector<OkCase> cases = {
      {{{ip, "10.1.2"}}, {t::ip_structure_error}, ip},
      {{{ip, "10.1.2.300"}}, {t::ip_input_error}, ip},
      {{{ip, "255.255.255.255"}}, {t::ip_input_error}, ip},
      {{{ip, "192.168.1.10"}}, {"IP地址为本机地址,请重新输入!"}, ip},
      {{{gw, "224.0.0.1"}}, {"IP地址类别范围错误(>=D类),请重新输入!"}, gw},
      {{{port, "999"}}, {t::port_range}, port},
      {{{port, "65534"}}, {t::port_range}, port},
      {{{mask, "255.255"}}, {t::mask_error}, mask},
      {{}, {"未做任何修改, 如无需修改, 请按<退出>键!"}, 0, ok, notice},
      // The gateway check with a mask.
      {{{gw, "192.168.1.50"}}, {"模块IP与网关IP相同! 请重新输入!" + advice}, ip},
      {{{gw, "192.168.2.1"}}, {t::mask_mismatch}, mask},
      {{{mask, "255.255.255.128"}},
       {"输入的模块IP,网关IP在本机子网中,但子网掩码位数超过本机子网! 请重新输入!\r\n<建议: 此参数应尽量保持为0.0.0.0, "
        "不作设置,不影响正常使用>."},
       mask},
      {{{ip, "10.9.9.60"}, {gw, "10.9.9.1"}}, {t::outside_all_subnets}, 0, ui::Answer::cancel, notice, ui::Buttons::ok_cancel},
      {{{ip, "10.9.9.60"}, {gw, "10.9.9.1"}}, {t::outside_all_subnets, t::confirm_change}, 0, ok, notice, ui::Buttons::ok_cancel},
      // Without a mask the address classes decide.
      {{{ip, "192.168.1.60"}, {gw, "10.0.0.1"}, {mask, "0.0.0.0"}}, {"模块IP与网关IP不在同一类网段内(A,B,C类)! 请重新输入!" + advice}, ip},
      {{{ip, "192.168.1.60"}, {gw, "192.168.2.1"}, {mask, "0.0.0.0"}}, {"模块IP与网关IP不在同一子网内! 请重新输入!" + advice}, ip},
      {{{ip, "0.0.0.0"}, {mask, "0.0.0.0"}}, {t::zero_ip_gateway}, gw, yes, error, ui::Buttons::yes_no},
      {{{ip, "0.0.0.0"}, {mask, "0.0.0.0"}}, {t::zero_ip_gateway, t::confirm_change}, 0, no, error, ui::Buttons::yes_no},
      {{{ip, "10.9.9.60"}, {gw, "10.9.9.1"}, {mask, "0.0.0.0"}}, {t::gateway_not_local}, ip, yes, error, ui::Buttons::yes_no},
      {{{ip, "10.9.9.60"}, {gw, "10.9.9.1"}, {mask, "0.0.0.0"}}, {t::gateway_not_local, t::confirm_change}, 0, no, error,
       ui::Buttons::yes_no},
  };
  for (const OkCase& c : cases) {
    Rig rig;
    ASSERT_TRUE(rig.open());
    std::string typed;
    for (const auto& [field, text] : c.typed) {
      rig.v().type(field, text);
      typed += text + " ";
    }
    SCOPED_TRACE(typed + c.shown.back());
    rig.v().answers = {c.answer, ui::Answer::no};
    rig.v().click(D::ok_button);
    ASSERT_EQ(rig.v().texts(), c.shown);
    EXPECT_EQ(rig.v().messages[0].caption, c.caption);
    EXPECT_EQ(rig.v().messages[0].buttons, c.buttons);
    EXPECT_EQ(rig.v().messages[0].icon, ui::Icon::warning);
    EXPECT_EQ(rig.v().focused(), c.focus);
    EXPECT_FALSE(rig.v().closed());
  }
}

TEST(ParameterDialog, ANewAddressIsProbedAndRefusedWhenInUse) {
  Rig rig;
  rig.probe_answer = 1;
  ASSERT_TRUE(rig.open());
  rig.v().type(D::ip_edit, "192.168.1.60");
  rig.v().click(D::ok_button);
  EXPECT_EQ(rig.probes, 1);
  EXPECT_EQ(rig.main_window.texts(), Texts{"此IP地址已被局域网上其他设备使用，请重新输入!"});
  EXPECT_EQ(rig.v().focused(), D::ip_edit);
  EXPECT_FALSE(rig.v().closed());
}

// (The reminder's flashes: the attention flash test; the module code that is no change: the
// parameters unchanged test.)
TEST(ParameterDialog, ActiveUploadNeedsAConfirmedVisit) {
  Rig rig;
  rig.row.work_mode = discovery::audp;
  ASSERT_TRUE(rig.open());
  rig.v().click(D::ok_button);
  EXPECT_EQ(rig.v().texts(), Texts{t::upload_confirm_first});
  EXPECT_EQ(rig.v().focused(), D::upload_button);
  rig.sub_dialog = [](ui::DialogLogic& upload) {  // a new server port, OK
    test::ScriptedDialog sub(upload);
    sub.open();
    sub.type(config::ActiveUploadDialog::port_edit, "8006");
    sub.click(config::ActiveUploadDialog::ok_button);
    return sub.result();
  };
  rig.v().click(D::upload_button);
  EXPECT_TRUE(rig.pending.active_upload_confirmed);
  rig.v().click(D::ok_button);
  EXPECT_EQ(rig.v().messages.back().text, t::confirm_change);
  EXPECT_EQ(rig.v().result(), 1);
}

// (A module moved by a confirmed re-addressing: the parameter settings LAN test.)
TEST(ParameterDialog, OutsideOrArpOnlyModulesAreOfferedReaddressing) {
  struct Case { bool outside; ui::Answer answer; int result_code; Texts shown; };
  const std::vector<Case> cases = {
      {true, ui::Answer::no, 0, {t::outside_subnet_question}},
      {true, ui::Answer::yes, -3, {t::outside_subnet_question, "本机子网可用主机地址空间不足! 请检查本机网络参数设置!"}},
      {false, ui::Answer::yes, -10, {t::unknown_parameters_question, "网络操作出现错误! 请检查网络参数设置,重新尝试!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.back());
    Rig rig;
    if (c.outside) rig.row.ip = ipv4("10.20.30.40");
    rig.row.raw_only = !c.outside;
    rig.readdress_result = c.result_code;
    EXPECT_FALSE(rig.open({c.answer}));
    ASSERT_EQ(rig.v().texts(), c.shown);
    EXPECT_EQ(rig.v().messages[0].caption, t::caption_error);
    EXPECT_EQ(rig.v().messages[0].buttons, ui::Buttons::yes_no);
    EXPECT_EQ(rig.v().messages.back().caption, t::caption_error);
    EXPECT_EQ(rig.readdresses, c.answer == ui::Answer::yes ? 1 : 0);
    EXPECT_EQ(rig.v().result(), 0);
    EXPECT_FALSE(rig.dialog->readdressed());
  }
}

// Runs the wireless dialog: types the SSID and leaves with OK or with cancel.
std::function<int(ui::DialogLogic&)> wireless_visit(const char* ssid, bool ok) {
  return [ssid, ok](ui::DialogLogic& logic) {
    test::ScriptedDialog sub(logic);
    sub.open();
    sub.type(config::WirelessDialog::ssid_edit, ssid);
    sub.click(ok ? config::WirelessDialog::ok_button : config::WirelessDialog::cancel_button);
    return sub.result();
  };
}

std::string ssid_of(const config::WirelessBlock& block) {
  return reinterpret_cast<const char*>(block.data() + config::wifi::ssid);
}

// (A module whose block cannot be read or whose write is not acknowledged: the module write LAN test.)
TEST(ParameterDialog, WirelessVisitsReadOnceAndCancelUndoesOnlyItsOwnVisit) {
  Rig rig;
  rig.row.wireless = true;
  ASSERT_TRUE(rig.open());

  rig.read_result = -1;
  rig.v().click(D::wireless_button);
  rig.read_result = 0;
  rig.sub_dialog = wireless_visit("first", true);
  rig.v().click(D::wireless_button);
  EXPECT_EQ(ssid_of(rig.wireless.edited), "first");
  rig.sub_dialog = wireless_visit("second", false);
  rig.v().click(D::wireless_button);
  EXPECT_EQ(ssid_of(rig.wireless.edited), "first");
  EXPECT_EQ(rig.reads, 2);  // the failed read and one more: a read block is kept for the dialog

  // The Wi-Fi change asks its own question and writes before the dialog closes.
  rig.v().click(D::ok_button);
  EXPECT_EQ(rig.v().texts(), (Texts{t::wireless_read_failed, t::wireless_confirm}));
  EXPECT_EQ(rig.writes, 1);
  EXPECT_EQ(rig.v().result(), 1);
}

// (Its opening, the upload hint and a successful write: the remote test LAN test.)
TEST(ParameterDialog, RemoteModeChangesOnlyTheWorkModeAndWritesItself) {
  Rig rig;
  rig.remote = true;
  rig.row.ip = ipv4("198.51.100.20");  // outside every subnet: no re-addressing offered
  rig.remote_result = -2;
  ASSERT_TRUE(rig.open());
  auto& v = rig.v();
  v.type(D::ip_edit, "nonsense");  // not read in remote mode
  v.click(D::ok_button);
  v.click(rig.radio(discovery::udp));
  v.click(D::ok_button);
  EXPECT_EQ(v.texts(), (Texts{t::nothing_changed, "确认修改远程模块参数?", "远程模块参数修改错误!"}));
  EXPECT_EQ(rig.remote_writes, 1);
  EXPECT_EQ(v.result(), 0);
}

}  // namespace
