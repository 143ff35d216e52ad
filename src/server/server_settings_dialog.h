#pragma once
// The server settings dialog: which of the first two local addresses the server binds
// (each shown with the PC's external address), the protocol, the port and whether TCP
// connection events are logged. Every opening runs the external address lookup first.
#include <functional>
#include <string>

#include "netenv/adapter_table.h"
#include "netenv/external_addresses.h"
#include "platform/adapters.h"
#include "server/server_settings.h"
#include "ui/dialog.h"

namespace server {

// Fills the external address of each address entry; 0 when at least one entry was
// resolved, else the lookup's negative code, which the dialog shows as a warning before it
// opens all the same.
using ExternalLookup = std::function<int(const netenv::AdapterTable&, netenv::ExternalAddresses&)>;

// The port as typed: leading blanks skipped, then the decimal digits up to the first other
// character; 0 when there are none. Anything above max_port reads as max_port + 1.
unsigned read_port(const std::string& text);

class ServerSettingsDialog : public ui::DialogLogic {
 public:
  enum Control {
    ip1_text = 1,
    ip2_text,
    external1_text,
    external2_text,
    address_group,
    ip1_radio,
    ip2_radio,
    protocol_group,
    tcp_radio,
    udp_radio,
    port_edit,
    raw_data_box,
    ok_button,
    cancel_button,
  };

  // OK writes settings; the adapter table is built on first use and the lookup fills external.
  ServerSettingsDialog(ServerSettings& settings, netenv::AdapterTable& adapters, netenv::ExternalAddresses& external,
                       netenv::AdapterTableBuilder build_adapters, ExternalLookup lookup);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  void fill(ui::DialogView& view) const;
  void confirm(ui::DialogView& view);
  bool two_entries() const { return adapters_.address_count > 1; }

  ServerSettings& settings_;
  netenv::AdapterTable& adapters_;
  netenv::ExternalAddresses& external_;
  netenv::AdapterTableBuilder build_adapters_;
  ExternalLookup lookup_;
};

}  // namespace server
