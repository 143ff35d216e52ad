#pragma once
// The module parameter dialog: a module's IP, gateway, mask and work mode, with the
// active-upload and wireless dialogs behind two buttons. OK checks every field in order,
// fills the Pending parameter set and, after the change test, the gateway check and the
// operator's confirmation, closes with 1 for the main window's write. In remote mode only
// the work mode can change and the dialog writes the remote module itself. A module outside
// its subnet, or seen only by its ARP frames, is first offered re-addressing by its MAC.
#include <cstdint>
#include <functional>
#include <string>

#include "config/active_upload_dialog.h"
#include "config/wireless_block.h"
#include "discovery/module_table.h"
#include "netenv/adapter_table.h"
#include "netenv/pending_parameters.h"
#include "platform/wait_clock.h"
#include "ui/dialog.h"

namespace config {

// What the dialog works on; everything but the row's mode outlives it.
struct ParameterSubject {
  discovery::ModuleRow& row;
  const netenv::AdapterTable& adapters;
  netenv::PendingParameters& pending;
  WirelessCopies& wireless;
  WirelessBlock& wireless_backup;  // the block as the last visit of the wireless dialog left it
  bool remote_mode = false;
  std::string external_address;  // remote mode: the PC's external address, shown for the subnet
};

// What the dialog has done on the network and on screen; the program's or a test's.
struct ParameterActions {
  platform::WaitClock& clock;
  ui::MessageSink& main_window;                       // the address probe's messages
  std::function<int(platform::Ipv4Address ip)> probe_address_in_use;  // 1 used, 0 free, <0 no probe
  std::function<int()> readdress;       // re-addressing by MAC of the row: 0 or a repair code
  std::function<int()> read_wireless;   // into subject.wireless: 0 or negative
  std::function<int()> write_wireless;  // the edited block unless unchanged: 0 or negative
  std::function<int()> write_remote;    // the remote module's work mode and upload: 0 or negative
  std::function<int(ui::DialogLogic&)> run_dialog;  // a sub-dialog, modally
  UploadDefaults upload_defaults;
};

class ParameterDialog : public ui::DialogLogic {
 public:
  enum Control {
    subnet_text = 1,
    ip_edit,
    gateway_edit,
    mask_edit,
    port_edit,
    baud_edit,
    mode_group,
    tcp_radio,  // TCP, UDP, SNMP, AUDP, ATCP in work-mode order
    atcp_radio = tcp_radio + 4,
    upload_button,
    wireless_button,
    defaults_button,
    ok_button,
    leave_button,
  };

  ParameterDialog(ParameterSubject subject, ParameterActions actions);

  const ui::DialogTable& table() const override { return table_; }
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

  // The module was moved into the local subnet on opening; nothing is left to write.
  bool readdressed() const { return readdressed_; }

 private:
  void offer_readdressing(ui::DialogView& view, const char* question);
  void set_defaults(ui::DialogView& view) const;
  void edit_upload_parameters(ui::DialogView& view);
  void edit_wireless_parameters(ui::DialogView& view);
  void confirm(ui::DialogView& view);
  void confirm_remote(ui::DialogView& view);
  // The fields in order into the Pending parameter set; false after a refusal.
  bool read_network_fields(ui::DialogView& view);
  bool read_address(ui::DialogView& view, int field, bool is_gateway, platform::Ipv4Address& address);
  void read_work_mode(ui::DialogView& view);
  bool needs_upload_visit(ui::DialogView& view);
  bool refuse(ui::DialogView& view, int field, const std::string& message) const;
  platform::Ipv4Address local_ip() const;

  ParameterSubject s_;
  ParameterActions a_;
  ui::DialogTable table_;
  bool wireless_read_ = false;
  bool readdressed_ = false;
};

}  // namespace config
