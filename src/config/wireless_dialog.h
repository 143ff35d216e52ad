#pragma once
// The wireless parameter dialog: SSID, topology and channel, authentication, security
// suite, WEP key index, encryption method, key type and key of a module's Wireless
// parameter block. It works on a copy of the block and writes it back only when OK has
// passed every check, so leaving without OK changes nothing.
#include <array>
#include <string>

#include "config/wireless_block.h"
#include "ui/dialog.h"

namespace config {

class WirelessDialog : public ui::DialogLogic {
 public:
  enum Control {
    ssid_edit = 1,
    topology_group,
    adhoc_radio,
    infrastructure_radio,
    channel_edit,
    auth_group,
    open_radio,
    shared_radio,
    key_index_group,
    key_index1_radio,  // ..key_index1_radio + 3
    key_index4_radio = key_index1_radio + 3,
    suite_group,
    suite_none_radio,  // none, WEP, WPA_PSK, WPA2_PSK in Suite order
    suite_wpa2_radio = suite_none_radio + 3,
    method_group,
    method_none_radio,  // None, WEP64, WEP128, TKIP, CCMP in Method order
    method_ccmp_radio = method_none_radio + 4,
    key_type_group,
    hex_radio,
    passphrase_radio,
    key_edit,
    hex_hint,
    passphrase_hint,
    ok_button,
    cancel_button,
    defaults_button,
  };

  explicit WirelessDialog(WirelessBlock& edited);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;
  void on_edit(ui::DialogView& view, int id) override;

 private:
  void update_widgets(ui::DialogView& view) const;
  void confirm(ui::DialogView& view);
  bool read_key(ui::DialogView& view, WirelessBlock& block) const;
  std::string& memo(ui::DialogView& view) { return memos_[view.checked(hex_radio) ? 0 : 1]; }

  WirelessBlock& edited_;
  WirelessBlock block_{};
  std::array<std::string, 2> memos_;  // key text last typed for hex and for passphrase
};

}  // namespace config
