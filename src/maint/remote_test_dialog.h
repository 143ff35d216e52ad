#pragma once
// The remote test dialog: the operator types the address of a module outside the local
// subnets. OK checks the address (as a gateway is checked), makes sure something answers
// there (ARP, then ICMP echo), looks up the PC's external address and reads the module into
// row 0; when it does not answer the queries, the operator may describe it by hand.
#include <cstdint>
#include <functional>

#include "netenv/adapter_table.h"
#include "platform/ipv4_address.h"
#include "ui/dialog.h"

namespace maint {

// What the dialog works on; both outlive it.
struct RemoteTestSubject {
  const netenv::AdapterTable& adapters;
  platform::Ipv4Address& remote_ip;  // kept between uses, shown on opening
  bool& set_by_hand;                 // row 0 was described by hand
};

// The steps behind OK; the program's or a test's.
struct RemoteTestActions {
  ui::MessageSink& main_window;                                       // messages of the address probe
  std::function<int(platform::Ipv4Address ip)> probe_address_in_use;  // 1 when a device answered ARP
  std::function<int(platform::Ipv4Address ip)> remote_echo_probe;     // echo replies, or a tools::echo_* code
  std::function<int()> lookup_external_addresses;                     // 0, or a code to show
  std::function<int()> read_remote_module;                            // 0, or negative
  std::function<int()> choose_work_mode;                              // the work-mode dialog: 1 on OK
  std::function<void()> set_remote_module_by_hand;
  // Stop or the close box abandoned the operation: the dialog closes without a word.
  std::function<bool()> cancelled;
};

class RemoteTestDialog : public ui::DialogLogic {
 public:
  enum Control { address_edit = 1, ok_button, leave_button };

  RemoteTestDialog(RemoteTestSubject subject, RemoteTestActions actions);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  void confirm(ui::DialogView& view);
  // The typed address after the structure, conversion and address checks; false after a refusal.
  bool read_address(ui::DialogView& view, platform::Ipv4Address& ip);
  // 1 when something answered, 0 when nothing did, -1 when the echo probe lacked the right to run.
  int reachable(ui::DialogView& view, platform::Ipv4Address ip);
  bool refuse(ui::DialogView& view, const char* message);
  // Closes the dialog when the operation was abandoned meanwhile.
  bool abandoned(ui::DialogView& view);

  RemoteTestSubject s_;
  RemoteTestActions a_;
};

}  // namespace maint
