// The address checks rule by rule, and the mask conversions.
#include "netenv/address_checks.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/ipv4_address.h"
#include "support/scripted_view.h"
#include "unit/discovery_test_bytes.h"

namespace {

using test::ipv4;

enum class Shown { nothing, by_owner, by_main_window };

struct CheckCase {
  const char* ip;
  bool is_gateway;
  int probe_result;  // what the probe answers, when it is asked
  int code;
  Shown shown;
  const char* text;  // when shown
  bool probed;
};

TEST(CheckAddress, AppliesEveryRuleInOrder) {
  const Shown owner = Shown::by_owner, main = Shown::by_main_window, none = Shown::nothing;
  const std::vector<CheckCase> cases = {
      {"127.0.0.0", false, 0, -1, owner, "IP地址已被本机使用,请重新输入!", false},
      {"127.0.0.1", false, 0, -10, owner, "IP地址为保留地址,请重新输入!", false},
      {"0.0.0.0", false, 1, 0, none, nullptr, false},
      {"224.0.0.1", false, 0, -2, owner, "IP地址类别范围错误(>=D类),请重新输入!", false},
      {"223.255.255.254", false, 0, 0, none, nullptr, true},
      {"192.168.1.255", false, 0, -8, owner, "IP地址为广播地址,请重新输入!", false},
      {"10.1.2.255", true, 0, -8, owner, "IP地址为广播地址,请重新输入!", false},
      {"192.168.1.0", false, 0, -9, owner, "IP地址为网名地址,请重新输入!", false},
      {"10.1.0.0", true, 0, -9, owner, "IP地址为网名地址,请重新输入!", false},
      // The PC's own addresses: refused for a module, accepted as a gateway.
      {"192.168.1.10", false, 0, -3, owner, "IP地址为本机地址,请重新输入!", false},
      {"192.168.1.10", true, 1, 0, none, nullptr, false},
      // Subnet network and broadcast of a local subnet whose last octets are not 0 / 255.
      {"172.16.5.192", false, 0, -4, owner, "IP地址为本局域网网名地址,请重新输入!", false},
      {"192.168.1.127", false, 0, -5, owner, "IP地址为本局域网广播地址,请重新输入!", false},
      {"192.168.1.127", true, 0, -5, owner, "IP地址为本局域网广播地址,请重新输入!", false},
      // 192.168.1.128 lies outside the /25 and passes the subnet rule.
      {"192.168.1.128", false, 0, 0, none, nullptr, true},
      {"10.0.0.1", true, 1, 0, none, nullptr, false},
      {"10.0.0.77", false, 1, 0, none, nullptr, false},  // the selected module's own address
      {"10.0.0.78", false, -3, -6, main, "IP 地址检测出现错误，请检查网络设置!", true},
      {"10.0.0.78", false, 1, -7, main, "此IP地址已被局域网上其他设备使用，请重新输入!", true},
      {"10.0.0.78", false, 0, 0, none, nullptr, true},
  };
  const netenv::AdapterTable adapters = discovery_test::adapters_with(
      {{"192.168.1.10", "255.255.255.128", 0}, {"172.16.5.200", "255.255.255.192", 1}, {"10.0.0.5", "255.0.0.0", 1}});
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + (c.is_gateway ? " as gateway" : " as module"));
    test::ScriptedView owner_view, main_view;
    std::optional<platform::Ipv4Address> probed;
    netenv::AddressCheck check{adapters, ipv4("10.0.0.77"), owner_view, main_view, [&](platform::Ipv4Address ip) {
                                 probed = ip;
                                 return c.probe_result;
                               }};
    EXPECT_EQ(netenv::check_address(check, ipv4(c.ip), c.is_gateway), c.code);
    EXPECT_EQ(probed.has_value(), c.probed);
    EXPECT_EQ(probed.value_or(ipv4(c.ip)), ipv4(c.ip));
    test::ScriptedView& shown_by = c.shown == Shown::by_main_window ? main_view : owner_view;
    test::ScriptedView& silent = c.shown == Shown::by_main_window ? owner_view : main_view;
    EXPECT_TRUE(silent.messages.empty());
    if (c.shown == Shown::nothing) {
      EXPECT_TRUE(shown_by.messages.empty());
      continue;
    }
    ASSERT_EQ(shown_by.texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(shown_by.messages[0].caption, "错误提示");
    EXPECT_EQ(shown_by.messages[0].icon, ui::Icon::warning);
  }
}

TEST(MaskFromHostBits, LimitsTo24HostBits) {
  const std::vector<std::pair<int, const char*>> cases = {
      {0, "0.0.0.0"}, {9, "255.255.254.0"}, {24, "255.0.0.0"}, {30, "255.0.0.0"}};
  for (const auto& [bits, mask] : cases) EXPECT_EQ(netenv::mask_from_host_bits(bits).dotted(), mask) << bits;
}

TEST(HostBitsFromMaskText, AcceptsEveryContiguousMaskUpTo24HostBits) {
  for (int bits = 2; bits <= 24; ++bits) {
    netenv::PendingParameters pending;
    std::string text = platform::Ipv4Address::from_host_order(~((std::uint32_t{1} << bits) - 1)).dotted();
    EXPECT_EQ(netenv::host_bits_from_mask_text(text, pending), 0) << text;
    EXPECT_EQ(pending.host_bits, bits) << text;
  }
}

TEST(HostBitsFromMaskText, RefusesOtherTextsByTheOctetAtFault) {
  constexpr int unchanged = 77;
  struct Case {
    std::string text;
    int code;
    int host_bits;
  };
  const std::vector<Case> cases = {
      {"0.0.0.0", 0, 0},
      {"255.255.255.255", 0, 0},
      {"255.255.255.254", -2, 0},  // host bits cleared although refused
      {"no.mask.at.all", 0, 0},    // not an address: taken as 255.255.255.255
      {"255.255", -1, unchanged},
      {"", -1, unchanged},
      {"255.255.255.1", -2, unchanged},
      {"255.255.1.0", -3, unchanged},
      {"255.1.0.0", -4, unchanged},
      {"254.0.0.0", -5, unchanged},
      // Only the first 19 characters are read: here they hold no dot at all.
      {"1234567890123456789.1.1.1", -1, unchanged},
      // The zero-padded way the change record writes masks, and blanks around the text.
      {"255.255.255.000", 0, 8},
      {" \t255.255.255.0\t", 0, 8},
      {"255.255.255.010", -2, unchanged},  // decimal ten, not octal
      // Not a mask: taken as 255.255.255.255.
      {"255.255.255.0000", 0, 0},
      {"255.255.255.256", 0, 0},
      {"255.255.255.0.", 0, 0},
      {"0x.255.255.0", 0, 0},
  };
  for (const Case& c : cases) {
    netenv::PendingParameters pending;
    pending.host_bits = unchanged;
    EXPECT_EQ(netenv::host_bits_from_mask_text(c.text, pending), c.code) << c.text;
    EXPECT_EQ(pending.host_bits, c.host_bits) << c.text;
  }
}

}  // namespace
