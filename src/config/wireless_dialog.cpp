#include "config/wireless_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/dialog_fields.h"
#include "ui/texts.h"

namespace config {
namespace {

namespace t = ui::texts;
using D = WirelessDialog;

constexpr std::size_t ssid_field_chars = 34;
constexpr std::size_t max_ssid_chars = 32;
constexpr std::size_t key_field_chars = 65;
constexpr std::size_t memo_chars = 78;
constexpr std::size_t min_passphrase_chars = 8;
constexpr std::size_t max_passphrase_chars = 63;
constexpr long min_channel = 1;
constexpr long max_channel = 14;
constexpr int key_index_count = 4;
constexpr int suite_count = 4;
constexpr int method_count = 5;
constexpr const char* default_channel = "11";

// Index of the first ticked radio of a run of `count` ids, -1 when none is.
int first_checked(const ui::DialogView& view, int first_id, int count) {
  for (int i = 0; i < count; ++i) {
    if (view.checked(first_id + i)) return i;
  }
  return -1;
}

void select(ui::DialogView& view, int first_id, int count, int index) {
  for (int i = 0; i < count; ++i) view.set_checked(first_id + i, i == index);
}

void enable_run(ui::DialogView& view, int first_id, int count, bool enabled) {
  for (int i = 0; i < count; ++i) view.enable(first_id + i, enabled);
}

std::string block_text(const WirelessBlock& block, std::size_t at, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(block.data() + at);
  return std::string(bytes, strnlen(bytes, size));
}

void set_bits(std::uint8_t& byte, std::uint8_t mask, int shift, int value) {
  byte = static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

}  // namespace

WirelessDialog::WirelessDialog(WirelessBlock& edited) : edited_(edited) {}

const ui::DialogTable& WirelessDialog::table() const {
  using ui::ControlKind;
  static const ui::DialogTable dialog = [] {
    ui::DialogTable d{t::wireless_title,
                      {
                          {ssid_edit, ControlKind::edit, t::wireless_ssid, 0, 0, 0, t::wireless_ssid_hint},
                          {topology_group, ControlKind::group, t::wireless_topology_group, 1, 0},
                          {adhoc_radio, ControlKind::radio, t::wireless_adhoc, 1, 0, topology_group},
                          {infrastructure_radio, ControlKind::radio, t::wireless_infrastructure, 1, 0, topology_group},
                          {channel_edit, ControlKind::edit, t::wireless_channel, 2, 0, 0, t::wireless_channel_hint},
                          {auth_group, ControlKind::group, t::wireless_auth_group, 3, 0},
                          {open_radio, ControlKind::radio, t::wireless_open, 3, 0, auth_group},
                          {shared_radio, ControlKind::radio, t::wireless_shared, 3, 0, auth_group},
                          {key_index_group, ControlKind::group, t::wireless_key_index_group, 4, 0},
                      }};
    for (int i = 0; i < key_index_count; ++i)
      d.controls.push_back({key_index1_radio + i, ControlKind::radio, t::wireless_key_index[i], 4, 0, key_index_group});
    d.controls.push_back({suite_group, ControlKind::group, t::wireless_suite_group, 5, 0});
    for (int i = 0; i < suite_count; ++i)
      d.controls.push_back({suite_none_radio + i, ControlKind::radio, t::wireless_suite[i], 5, 0, suite_group});
    d.controls.push_back({method_group, ControlKind::group, t::wireless_method_group, 6, 0});
    for (int i = 0; i < method_count; ++i)
      d.controls.push_back({method_none_radio + i, ControlKind::radio, t::wireless_method[i], 6, 0, method_group});
    d.controls.insert(d.controls.end(),
                      {
                          {key_type_group, ControlKind::group, t::wireless_key_type_group, 7, 0},
                          {hex_radio, ControlKind::radio, t::wireless_hex, 7, 0, key_type_group},
                          {passphrase_radio, ControlKind::radio, t::wireless_passphrase, 7, 0, key_type_group},
                          {key_edit, ControlKind::edit, t::wireless_key, 8, 0},
                          {hex_hint, ControlKind::label, t::wireless_hex_hint, 9, 0},
                          {passphrase_hint, ControlKind::label, t::wireless_passphrase_hint, 10, 0},
                          {ok_button, ControlKind::button, t::wireless_ok},
                          {cancel_button, ControlKind::button, t::wireless_cancel},
                          {defaults_button, ControlKind::button, t::wireless_defaults},
                      });
    return d;
  }();
  return dialog;
}

void WirelessDialog::on_open(ui::DialogView& view) {
  block_ = edited_;
  const std::uint8_t security = block_[wifi::security];
  view.set_text(ssid_edit, block_text(block_, wifi::ssid, wifi::ssid_bytes));
  const bool adhoc = block_[wifi::topology] & 1;
  view.set_checked(adhoc_radio, adhoc);
  view.set_checked(infrastructure_radio, !adhoc);
  select(view, suite_none_radio, suite_count, security & 0x03);
  const bool open = ((security >> 2) & 0x07) == 0;
  view.set_checked(open_radio, open);
  view.set_checked(shared_radio, !open);
  select(view, method_none_radio, method_count, security >> 5);
  char channel[8];
  std::snprintf(channel, sizeof channel, "%2d", block_[wifi::topology] >> 4);
  view.set_text(channel_edit, channel);
  select(view, key_index1_radio, key_index_count, block_[wifi::key_index]);
  const int type = block_[wifi::key_type] & 0x03;
  view.set_checked(hex_radio, type == wifi::key_hex);
  view.set_checked(passphrase_radio, type == wifi::key_passphrase);

  std::string key;
  if (type == wifi::key_passphrase) {
    key = block_text(block_, wifi::key, wifi::key_bytes);
  } else {
    const std::size_t n = std::min<std::size_t>(block_[wifi::key_length], wifi::hex_key_bytes);
    for (std::size_t i = 0; i < n; ++i) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02X", block_[wifi::key + i]);
      key += digits;
    }
  }
  view.set_text(key_edit, key);
  update_widgets(view);
  memo(view) = first_chars(key, memo_chars);
}

void WirelessDialog::update_widgets(ui::DialogView& view) const {
  const bool adhoc = view.checked(adhoc_radio);
  view.enable(channel_edit, adhoc);
  for (int id : {open_radio, shared_radio, hex_radio, passphrase_radio, key_edit}) view.enable(id, true);
  enable_run(view, key_index1_radio, key_index_count, true);
  enable_run(view, suite_none_radio, suite_count, true);
  enable_run(view, method_none_radio, method_count, true);
  auto radio = [](int first, int index) { return first + index; };
  const int suite_wep = radio(suite_none_radio, wifi::suite_wep), suite_wpa = radio(suite_none_radio, wifi::suite_wpa);
  const int wep64 = radio(method_none_radio, wifi::method_wep64), wep128 = radio(method_none_radio, wifi::method_wep128);
  const int tkip = radio(method_none_radio, wifi::method_tkip), ccmp = radio(method_none_radio, wifi::method_ccmp);

  if (adhoc) {
    // Ad-hoc networks know no WPA: those suites and their methods go.
    view.enable(suite_wpa, false);
    view.enable(suite_wpa2_radio, false);
    if (view.checked(suite_wpa) || view.checked(suite_wpa2_radio)) select(view, suite_none_radio, suite_count, 0);
    view.enable(tkip, false);
    view.enable(ccmp, false);
    if (view.checked(tkip) || view.checked(ccmp)) select(view, method_none_radio, method_count, 0);
  }
  const bool wpa = view.checked(suite_wpa), wpa2 = view.checked(suite_wpa2_radio);
  if (view.checked(suite_none_radio)) {
    view.set_checked(open_radio, true);
    view.set_checked(shared_radio, false);
    select(view, key_index1_radio, key_index_count, 0);
    select(view, method_none_radio, method_count, 0);
    for (int id : {open_radio, shared_radio, hex_radio, passphrase_radio, key_edit}) view.enable(id, false);
    enable_run(view, key_index1_radio, key_index_count, false);
    enable_run(view, method_none_radio, method_count, false);
  } else if (view.checked(suite_wep)) {
    if (!view.checked(wep64) && !view.checked(wep128)) select(view, method_none_radio, method_count, wifi::method_wep64);
    for (int id : {int(method_none_radio), tkip, ccmp}) view.enable(id, false);
  } else if (!adhoc && (wpa || wpa2)) {
    if (wpa || (!view.checked(tkip) && !view.checked(ccmp))) select(view, method_none_radio, method_count, wifi::method_tkip);
    for (int id : {int(method_none_radio), wep64, wep128}) view.enable(id, false);
    if (wpa) view.enable(ccmp, false);
    view.set_checked(shared_radio, true);
    view.set_checked(open_radio, false);
    view.enable(open_radio, false);
    view.enable(shared_radio, false);
    enable_run(view, key_index1_radio, key_index_count, false);
  }
}

void WirelessDialog::on_click(ui::DialogView& view, int id) {
  switch (id) {
    case ok_button: confirm(view); return;
    case cancel_button: view.close_dialog(0); return;
    case hex_radio:
    case passphrase_radio:
      if (view.checked(suite_none_radio)) return;
      set_bits(block_[wifi::key_type], 0x03, 0, view.checked(hex_radio) ? wifi::key_hex : wifi::key_passphrase);
      view.set_text(key_edit, memo(view));
      return;
    case defaults_button:
      memos_ = {};
      view.set_text(ssid_edit, t::wireless_default_ssid);
      view.set_checked(infrastructure_radio, true);
      view.set_checked(adhoc_radio, false);
      select(view, suite_none_radio, suite_count, wifi::suite_none);
      view.set_text(channel_edit, default_channel);
      view.set_checked(open_radio, true);
      view.set_checked(shared_radio, false);
      select(view, key_index1_radio, key_index_count, 0);
      select(view, method_none_radio, method_count, wifi::method_none);
      view.set_checked(hex_radio, true);
      view.set_checked(passphrase_radio, false);
      view.set_text(key_edit, "");
      break;
    default: break;
  }
  update_widgets(view);
}

void WirelessDialog::on_edit(ui::DialogView& view, int id) {
  if (id == key_edit) memo(view) = first_chars(view.text(key_edit), memo_chars);
}

void WirelessDialog::confirm(ui::DialogView& view) {
  WirelessBlock block = block_;
  auto refuse = [&view](int field, const char* message) {
    view.show_message(t::caption_notice, message, ui::Icon::warning, ui::Buttons::ok);
    view.focus(field);
  };
  block[wifi::marker] = wifi::ok_marker;

  const std::string ssid = first_chars(view.text(ssid_edit), ssid_field_chars);
  if (ssid.empty() || ssid.size() > max_ssid_chars) return refuse(ssid_edit, t::wireless_ssid_error);
  for (std::size_t at : {wifi::ssid, wifi::ssid_copy}) {
    std::fill_n(block.begin() + at, wifi::ssid_bytes, 0);
    std::copy(ssid.begin(), ssid.end(), block.begin() + at);
  }
  set_bits(block[wifi::topology], 0x01, 0, view.checked(adhoc_radio) ? 1 : 0);

  const long channel = read_number(view.text(channel_edit), true);
  if (channel < min_channel || channel > max_channel) return refuse(channel_edit, t::wireless_channel_error);
  set_bits(block[wifi::topology], 0xF0, 4, static_cast<int>(channel));

  if (const int suite = first_checked(view, suite_none_radio, suite_count); suite >= 0)
    set_bits(block[wifi::security], 0x03, 0, suite);
  set_bits(block[wifi::security], 0x1C, 2, view.checked(open_radio) ? 0 : 1);
  if (const int index = first_checked(view, key_index1_radio, key_index_count); index >= 0)
    block[wifi::key_index] = static_cast<std::uint8_t>(index);
  if (const int method = first_checked(view, method_none_radio, method_count); method >= 0) {
    set_bits(block[wifi::security], 0xE0, 5, method);
    block[wifi::method] = static_cast<std::uint8_t>(method);
  }
  set_bits(block[wifi::key_type], 0x03, 0, view.checked(hex_radio) ? wifi::key_hex : wifi::key_passphrase);

  if (!read_key(view, block)) return;
  edited_ = block;
  view.close_dialog(1);
}

bool WirelessDialog::read_key(ui::DialogView& view, WirelessBlock& block) const {
  auto refuse = [&view](const std::string& message) {
    view.show_message(t::caption_notice, message, ui::Icon::warning, ui::Buttons::ok);
    view.focus(key_edit);
    return false;
  };
  const std::string key = first_chars(view.text(key_edit), key_field_chars);
  if (view.checked(hex_radio)) {
    const int suite = block[wifi::security] & 0x03;
    const int method = block[wifi::security] >> 5;
    std::size_t n = 0;
    if (suite == wifi::suite_wep && method == wifi::method_wep64) n = 5;
    if (suite == wifi::suite_wep && method == wifi::method_wep128) n = 13;
    if (suite == wifi::suite_wpa || suite == wifi::suite_wpa2) n = 32;
    if (n == 0) return true;  // no key for this combination: the stored one stays
    if (key.size() != 2 * n) {
      char message[128];
      std::snprintf(message, sizeof message, t::wireless_hex_length, static_cast<int>(2 * n));
      return refuse(message);
    }
    if (!std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isxdigit(c); }))
      return refuse(t::wireless_hex_characters);
    block[wifi::key_length] = static_cast<std::uint8_t>(n);
    std::fill_n(block.begin() + wifi::key, wifi::hex_key_bytes, 0);
    for (std::size_t i = 0; i < n; ++i)
      block[wifi::key + i] = static_cast<std::uint8_t>(hex_value(key[2 * i]) * 16 + hex_value(key[2 * i + 1]));
    return true;
  }
  if (key.size() < min_passphrase_chars || key.size() > max_passphrase_chars)
    return refuse(t::wireless_passphrase_length);
  if (!std::all_of(key.begin(), key.end(), [](unsigned char c) { return c >= 0x20 && c < 0x7F; }))
    return refuse(t::wireless_passphrase_characters);
  block[wifi::key_length] = static_cast<std::uint8_t>(key.size());
  std::fill_n(block.begin() + wifi::key, wifi::key_bytes, 0);
  std::copy(key.begin(), key.end(), block.begin() + wifi::key);
  return true;
}

}  // namespace config
