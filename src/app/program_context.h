#pragma once
// The program's whole state, one value owned by main() and passed by reference, so a test
// can build as many independent programs as it likes.
#include <string>

#include "app/button_states.h"
#include "app/settings_file.h"
#include "config/wireless_block.h"
#include "discovery/module_table.h"
#include "rawlink/raw_ethernet.h"
#include "netenv/adapter_table.h"
#include "netenv/external_addresses.h"
#include "netenv/pending_parameters.h"
#include "platform/ipv4_address.h"
#include "platform/program_config.h"
#include "polling/polling_table.h"
#include "server/server_settings.h"
#include "server/upload_server.h"

namespace app {

// Flags of the main window; none of them is stored in the settings file. Whether the
// upload server runs is read from the server (run_state()).
struct MainState {
  // Polling runs (Start to Stop). The polling sockets may be open without it: the remote
  // test opens them to check the connection, and Start then reuses them.
  bool polling_active = false;
  bool server_mode = false;
  bool remote_mode = false;
  bool repair_enabled = false;
  bool settings_changed = false;
  // Manual connection mode: the remote module's work mode was chosen by hand.
  bool remote_set_by_hand = false;
  // The address the operator typed for the remote module, kept between tests.
  platform::Ipv4Address remote_ip;
  int selected_row = 0;
  int selected_work_mode = 0;  // of the remote module, read or chosen by hand (0..4)
  ButtonLayout layout;
  ButtonOffers offers;
};

struct ProgramContext {
  Settings settings;
  // The site's quorvane.conf, read once at start.
  platform::ProgramConfig config;
  netenv::AdapterTable adapters;
  rawlink::RawEthernetState raw_ethernet;
  discovery::ModuleTable modules;
  polling::PollingTable polling;
  server::ServerSettings server_settings;
  server::ServerState server;
  netenv::ExternalAddresses external_addresses;
  MainState state;
  // What the parameter dialogs collect and the writes apply; kept between openings.
  netenv::PendingParameters pending;
  config::WirelessCopies wireless;
  config::WirelessBlock wireless_backup{};
  std::string start_directory;
  int platform_family = 0;
};

}  // namespace app
