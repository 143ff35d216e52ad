#pragma once
// The main window's logic: start-up, the button commands, the polling timer, the button
// states and shut-down. It drives any ui::MainView. Each command's flow is in its own file
// (search_command.cpp, polling_command.cpp, server_command.cpp, settings_command.cpp,
// parameter_command.cpp, repair_command.cpp, remote_command.cpp).
// Every wait goes through the WaitClock it is given: a command that arrives while another
// runs is queued and runs after it (a press during polling first cancels the cycle in
// flight), and a close during a command cancels it and closes once it has ended.
#include <deque>
#include <functional>
#include <memory>

#include "app/program_context.h"
#include "maint/repair_network.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "polling/query_module.h"
#include "rawlink/system_raw_link.h"
#include "ui/main_view.h"

namespace app {

// The after-write pause: the modules restart with their new parameters meanwhile.
constexpr int after_write_pause_ms = 9000;

// What the window logic takes from outside, so tests can replace it.
struct MainWindowServices {
  std::function<platform::AdapterListing()> list_adapters = platform::list_adapters;
  // Capture devices, the search's broadcast socket and the kernel's ARP resolution; the
  // system's over the window's clock when empty.
  std::shared_ptr<rawlink::RawLink> raw_link;
};

class MainWindow : public ui::MainWindowEvents {
 public:
  MainWindow(ProgramContext& context, ui::MainView& view, platform::WaitClock& clock, MainWindowServices services = {});

  // Window creation: screen check, start directory, settings, initial state. False when
  // the program must quit at once (screen too narrow).
  bool create();

  void on_command(ui::ButtonId button) override;
  void on_timer() override;
  void on_module_selection_changed() override;
  bool on_close_requested() override;
  // Shut-down: stops what runs, writes the settings file. Harmless when run twice.
  void on_close() override;
  void on_socket_ready(const std::function<void()>& handler) override;

  RunState run_state() const;
  // Sets every button from the run state, the layout and the offers.
  void update_buttons();
  // Stops polling or the server first, as every command but Start, Stop and Exit does.
  void stop_if_active();
  // Closes the polling sockets, empties both lists and the Module table.
  void clear_module_view();

 private:
  // Runs one command or tick as an operation: commands arriving meanwhile wait in the queue.
  void run_operation(const std::function<void()>& operation);
  void run_command(ui::ButtonId button);

  void search();                   // search_command.cpp
  void start();                    // polling_command.cpp
  void start_polling();
  void stop();
  void stop_polling();
  void polling_tick();
  void start_server();             // server_command.cpp
  void stop_server();
  void basic_settings();           // settings_command.cpp
  void apply_mode_layout();
  void exit();
  void parameter_settings();       // parameter_command.cpp
  void record_change(const discovery::ModuleRow& row);
  void module_repair();            // repair_command.cpp
  // Repairs the selected Module table row (its subnet only): a repair_module code. For the
  // parameter dialog.
  int repair_selected_module();
  maint::RepairNetwork repair_network();
  void remote_test();              // remote_command.cpp
  // The remote module in row 0 as a search result, then its connection checked.
  void present_remote_module();
  // After a completed write to modules: with announce, the notice and the 9 s pause with
  // the wait cursor; then Start and Parameter settings withdrawn and both lists emptied.
  void reset_main_window(bool announce);

  // Builds the Adapter table unless it is valid: 0, or the build's negative code.
  int build_adapter_table(ui::MessageSink& messages);

  ProgramContext& context_;
  ui::MainView& view_;
  platform::WaitClock& clock_;
  MainWindowServices services_;
  server::UploadServer upload_server_;
  bool shut_down_ = false;
  bool busy_ = false;
  bool close_pending_ = false;
  std::deque<ui::ButtonId> queued_;
};

}  // namespace app
