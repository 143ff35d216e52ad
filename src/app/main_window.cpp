#include "app/main_window.h"

#include <string>
#include <vector>

#include "app/command_steps.h"
#include "app/config_file_report.h"
#include "app/data_file.h"
#include "app/platform_family.h"
#include "app/start_directory.h"
#include "discovery/captured_rows.h"
#include "netenv/adapter_table.h"
#include "polling/polling_cycle.h"
#include "rawlink/address_probe.h"
#include "rawlink/capture_devices.h"
#include "ui/texts.h"

namespace app {

namespace {

constexpr int minimum_screen_width = 1024;

std::vector<std::string> all_lines(const ui::MainView& view, ui::ListId list) {
  std::vector<std::string> lines;
  for (int i = 0; i < view.list_count(list); ++i) lines.push_back(view.list_line(list, i));
  return lines;
}

}  // namespace

MainWindow::MainWindow(ProgramContext& context, ui::MainView& view, platform::WaitClock& clock,
                       MainWindowServices services)
    : context_(context),
      view_(view),
      clock_(clock),
      services_(std::move(services)),
      upload_server_(context.server, context.server_settings, context.adapters, context.external_addresses,
                     context.polling, view, clock) {
  if (!services_.raw_link) services_.raw_link = std::make_shared<rawlink::SystemRawLink>(clock_, discovery::raw_search_queries());
}

bool MainWindow::create() {
  context_.platform_family = current_platform_family();
  if (view_.screen_width() < minimum_screen_width) {
    view_.beep();
    view_.show_message(ui::texts::caption_error, ui::texts::screen_too_small, ui::Icon::none, ui::Buttons::ok);
    return false;
  }
  context_.start_directory = remember_start_directory();
  if (read_settings(join_start_directory(context_.start_directory, settings_file_name), context_.settings, view_) != 0) {
    view_.show_message(ui::texts::caption_error, ui::texts::settings_read_failed, ui::Icon::none, ui::Buttons::ok);
  }
  const platform::LoadedConfig site = platform::load_program_config(context_.start_directory);
  context_.config = site.parsed.config;
  report_config_problems(site, view_);
  discovery::reset_module_table(context_.modules);
  update_buttons();
  return true;
}

RunState MainWindow::run_state() const {
  if (upload_server_.running()) return RunState::serving;
  return context_.state.polling_active ? RunState::polling : RunState::idle;
}

void MainWindow::update_buttons() {
  show_button_states(view_, button_states(run_state(), context_.state.layout, context_.state.offers));
}

void MainWindow::on_command(ui::ButtonId button) {
  if (busy_) {
    // Every command stops polling first, so the cycle in flight is abandoned at once.
    if (run_state() == RunState::polling) clock_.cancel();
    queued_.push_back(button);
    return;
  }
  run_operation([this, button] { run_command(button); });
}

void MainWindow::run_operation(const std::function<void()>& operation) {
  busy_ = true;
  clock_.begin_operation();
  operation();
  while (!queued_.empty() && !close_pending_) {
    const ui::ButtonId next = queued_.front();
    queued_.pop_front();
    clock_.begin_operation();
    run_command(next);
  }
  queued_.clear();
  busy_ = false;
  if (close_pending_) view_.close_window();
}

void MainWindow::run_command(ui::ButtonId button) {
  switch (button) {
    case ui::ButtonId::search: search(); break;
    case ui::ButtonId::start: start(); break;
    case ui::ButtonId::stop: stop(); break;
    case ui::ButtonId::exit: exit(); break;
    case ui::ButtonId::basic_settings: basic_settings(); break;
    case ui::ButtonId::module_repair: module_repair(); break;
    case ui::ButtonId::parameter_settings: parameter_settings(); break;
    case ui::ButtonId::remote_test: remote_test(); break;
  }
}

void MainWindow::on_timer() {
  if (busy_) return;  // a cycle never runs inside a command; Stop or the command re-arms nothing
  run_operation([this] { polling_tick(); });
}

void MainWindow::on_module_selection_changed() { view_.repaint(); }

void MainWindow::on_socket_ready(const std::function<void()>& handler) {
  // Inside an operation (a message box's loop) the handler runs as it always did.
  if (busy_) {
    handler();
    return;
  }
  run_operation(handler);
}

bool MainWindow::on_close_requested() {
  if (!busy_) return true;
  close_pending_ = true;
  clock_.cancel();
  return false;
}

void MainWindow::on_close() {
  if (shut_down_) return;
  shut_down_ = true;
  view_.timer_stop();
  if (context_.state.server_mode) {
    upload_server_.stop_server();
  } else if (context_.polling.sockets_open) {
    polling::close_polling_sockets(context_.polling);
  }
  if (write_settings(join_start_directory(context_.start_directory, settings_file_name), context_.settings, view_) != 0) {
    view_.show_message(ui::texts::caption_error, ui::texts::settings_write_failed, ui::Icon::none, ui::Buttons::ok);
  }
}

void MainWindow::stop_if_active() {
  if (run_state() != RunState::idle) stop();
}

void MainWindow::stop() {
  context_.state.offers.start = true;
  if (context_.state.server_mode) {
    stop_server();
  } else {
    stop_polling();
  }
  update_buttons();
}

void MainWindow::clear_module_view() {
  if (context_.polling.sockets_open) polling::close_polling_sockets(context_.polling);
  context_.state.polling_active = false;
  view_.list_clear(ui::ListId::modules);
  view_.list_clear(ui::ListId::data);
  app::reset_module_table(context_);
  ButtonOffers& offers = context_.state.offers;
  offers.start = false;
  offers.search = false;
  offers.parameter_settings = false;
  update_buttons();
}

int MainWindow::build_adapter_table(ui::MessageSink& messages) {
  return app::build_adapter_table(context_, services_.list_adapters, *services_.raw_link, messages, view_);
}

void MainWindow::exit() {
  if (run_state() != RunState::idle) view_.timer_stop();
  if (context_.settings.data_file_saving) {
    write_data_file(context_.start_directory, clock_.local_time(), all_lines(view_, ui::ListId::modules),
                    all_lines(view_, ui::ListId::data), view_);
  }
  view_.close_window();
}

}  // namespace app
