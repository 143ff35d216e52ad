#pragma once
// The active-upload parameter dialog: the receiver of a module's uploads (by IP, or by
// domain name through a DNS server), its port, the module code and the upload interval.
// OK validates every field in order and only then fills the active-upload part of the
// Pending parameter set; leaving without OK changes nothing.
#include <cstdint>
#include <string>

#include "discovery/module_table.h"
#include "netenv/pending_parameters.h"
#include "ui/dialog.h"

namespace config {

// What "使用默认值" fills in besides the PC's own address. The name server and the receiver's
// domain name belong to the operator's site, so they are left empty for the operator to type.
struct UploadDefaults {
  std::string dns_ip;
  std::string server_domain;
  std::uint16_t server_port = 8005;
};

// Firmware levels above this one know domain-name receivers.
constexpr std::uint8_t name_mode_firmware_level = 0x30;

class ActiveUploadDialog : public ui::DialogLogic {
 public:
  enum Control {
    type_group = 1,
    ip_mode_radio,
    name_mode_radio,
    server_ip_edit,
    dns_ip_edit,
    domain_edit,
    port_edit,
    module_code_edit,
    interval_edit,
    ok_button,
    leave_button,
    defaults_button,
  };

  // local_ip: the PC's address on the module's subnet, the default receiver.
  ActiveUploadDialog(netenv::PendingParameters& pending, const discovery::ModuleRow& row,
                     platform::Ipv4Address local_ip, UploadDefaults defaults);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  void set_server_type(ui::DialogView& view, bool by_name) const;
  void confirm(ui::DialogView& view);
  // Shows message, focuses the field; always false.
  bool refuse(ui::DialogView& view, int field, const char* message) const;
  bool read_address(ui::DialogView& view, int field, const char* zero_message, platform::Ipv4Address& address) const;

  netenv::PendingParameters& pending_;
  const discovery::ModuleRow& row_;
  platform::Ipv4Address local_ip_;
  UploadDefaults defaults_;
};

}  // namespace config
