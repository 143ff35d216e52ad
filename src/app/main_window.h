#pragma once
// The main window's logic: start-up, the eight button commands, the polling timer, the
// mode layout of the buttons and shut-down. It drives any ui::MainView.
#include <ctime>
#include <functional>
#include <memory>

#include "app/program_context.h"
#include "discovery/captured_rows.h"
#include "platform/adapters.h"
#include "polling/query_module.h"
#include "rawlink/system_raw_link.h"
#include "ui/main_view.h"

namespace app {

// What the window logic takes from outside, so tests can replace it.
struct MainWindowServices {
  std::function<platform::AdapterListing()> list_adapters = platform::list_adapters;
  // Capture devices, the search's broadcast socket and the kernel's ARP resolution.
  std::shared_ptr<rawlink::RawLink> raw_link = std::make_shared<rawlink::SystemRawLink>(discovery::raw_search_queries());
  std::function<std::tm()> local_time;  // local time for data file names; the system's when empty
};

class MainWindow : public ui::MainWindowEvents {
 public:
  MainWindow(ProgramContext& context, ui::MainView& view, MainWindowServices services = {});

  // Window creation: screen check, start directory, settings, initial state. False when
  // the program must quit at once (screen too narrow).
  bool create();

  void on_command(ui::ButtonId button) override;
  void on_timer() override;
  void on_module_selection_changed() override;
  // Shut-down: stops what runs, writes the settings file. Harmless when run twice.
  void on_close() override;

  // Shows, hides and enables the buttons for the current modes.
  void apply_mode_layout();
  // Stops polling or the server first, as every command but Start, Stop and Exit does.
  void stop_if_active();
  // Closes the polling sockets, empties both lists and the Module table.
  void clear_module_view();

 private:
  void search();
  void start();
  void stop();
  void exit();
  void basic_settings();
  void start_polling();
  void start_server();
  // Empties the Module table and what hangs on it: polling rows and the upload summary.
  void reset_module_table();
  polling::QuerySettings query_settings() const;
  // Builds the Adapter table unless it is valid: 0, or the build's negative code.
  int build_adapter_table(ui::MessageSink& messages);
  rawlink::RawEthernet raw_ethernet();

  ProgramContext& context_;
  ui::MainView& view_;
  MainWindowServices services_;
  server::UploadServer upload_server_;
  bool shut_down_ = false;
};

}  // namespace app
