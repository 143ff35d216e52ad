#include "app/main_window.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/config_file_report.h"
#include "app/data_file.h"
#include "app/platform_family.h"
#include "app/start_directory.h"
#include "discovery/captured_rows.h"
#include "discovery/module_search.h"
#include "netenv/adapter_table.h"
#include "netenv/basic_settings_dialog.h"
#include "polling/polling_cycle.h"
#include "polling/reading_lines.h"
#include "rawlink/address_probe.h"
#include "rawlink/capture_devices.h"
#include "server/server_settings_dialog.h"
#include "tools/external_address_lookup.h"
#include "tools/icmp_probe.h"
#include "ui/texts.h"

namespace app {

namespace {

constexpr int minimum_screen_width = 1024;

std::vector<std::string> all_lines(const ui::MainView& view, ui::ListId list) {
  std::vector<std::string> lines;
  for (int i = 0; i < view.list_count(list); ++i) lines.push_back(view.list_line(list, i));
  return lines;
}

std::tm system_local_time() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

MainWindow::MainWindow(ProgramContext& context, ui::MainView& view, MainWindowServices services)
    : context_(context),
      view_(view),
      services_(std::move(services)),
      upload_server_(context.server, context.server_settings, context.adapters, context.external_addresses,
                     context.polling, view) {
  if (!services_.local_time) services_.local_time = system_local_time;
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
  return true;
}

void MainWindow::on_command(ui::ButtonId button) {
  switch (button) {
    case ui::ButtonId::search: search(); break;
    case ui::ButtonId::start: start(); break;
    case ui::ButtonId::stop: stop(); break;
    case ui::ButtonId::exit: exit(); break;
    case ui::ButtonId::basic_settings: basic_settings(); break;
    case ui::ButtonId::parameter_settings:
    case ui::ButtonId::module_repair:
    case ui::ButtonId::remote_test: stop_if_active(); break;
  }
}

void MainWindow::on_timer() {
  view_.timer_stop();
  polling::polling_cycle(false, context_.modules, context_.polling, query_settings());
  polling::show_readings(false, context_.modules, context_.polling, view_);
  view_.timer_start(context_.settings.refresh_period_ms);
}

void MainWindow::on_module_selection_changed() { view_.repaint(); }

void MainWindow::on_close() {
  if (shut_down_) return;
  shut_down_ = true;
  view_.timer_stop();
  if (context_.state.server_mode) {
    upload_server_.stop_server();
  } else if (context_.polling.sockets_open) {
    polling::close_polling_sockets(context_.polling);
  }
  context_.state.active = false;
  if (write_settings(join_start_directory(context_.start_directory, settings_file_name), context_.settings, view_) != 0) {
    view_.show_message(ui::texts::caption_error, ui::texts::settings_write_failed, ui::Icon::none, ui::Buttons::ok);
  }
}

void MainWindow::stop_if_active() {
  if (context_.state.active) stop();
}

void MainWindow::clear_module_view() {
  if (context_.polling.sockets_open) polling::close_polling_sockets(context_.polling);
  view_.list_clear(ui::ListId::modules);
  view_.list_clear(ui::ListId::data);
  reset_module_table();
  view_.button_enable(ui::ButtonId::start, false);
  view_.button_enable(ui::ButtonId::stop, false);
  view_.button_enable(ui::ButtonId::search, false);
  view_.button_enable(ui::ButtonId::parameter_settings, false);
}

void MainWindow::apply_mode_layout() {
  const MainState& s = context_.state;
  view_.button_show(ui::ButtonId::module_repair, false);
  context_.state.repair_enabled = false;
  view_.button_show(ui::ButtonId::parameter_settings, !(s.server_mode && !s.remote_mode));
  view_.button_show(ui::ButtonId::search, !s.server_mode && !s.remote_mode);
  if (!s.server_mode && !s.remote_mode) view_.button_enable(ui::ButtonId::search, true);
  view_.button_show(ui::ButtonId::remote_test, s.remote_mode);
  if (s.remote_mode) view_.button_enable(ui::ButtonId::remote_test, true);
  if (s.server_mode) {
    view_.button_caption(ui::ButtonId::start, ui::texts::button_start_server);
    view_.button_enable(ui::ButtonId::start, true);
    view_.button_enable(ui::ButtonId::stop, false);
  } else {
    view_.button_caption(ui::ButtonId::start, ui::texts::button_start);
    if (s.remote_mode) view_.button_enable(ui::ButtonId::start, false);
  }
}

void MainWindow::search() {
  stop_if_active();
  reset_module_table();
  view_.list_clear(ui::ListId::data);
  view_.list_clear(ui::ListId::modules);
  view_.repaint();
  {
    const int r = build_adapter_table(view_);
    if (r < 0) {
      char text[160];
      std::snprintf(text, sizeof text, ui::texts::local_network_error, r);
      view_.warn(ui::texts::caption_error, text);
      return;
    }
  }
  {
    ui::WaitCursor wait(view_);
    discovery::RawEthernetSearch raw_search(context_.raw_ethernet, *services_.raw_link,
                                            rawlink::uses_raw_arp(context_.state.remote_mode, context_.platform_family));
    if (discovery::search_modules(context_.adapters, context_.modules, context_.settings.expected_port, view_,
                                  &raw_search) == 0) {
      view_.button_enable(ui::ButtonId::parameter_settings, true);
      view_.button_enable(ui::ButtonId::start, true);
      view_.button_enable(ui::ButtonId::stop, false);
    }
  }
  view_.repaint();
}

void MainWindow::reset_module_table() {
  discovery::reset_module_table(context_.modules);
  polling::reset_polling_rows(context_.polling);
  server::clear_upload_summary(context_.server);
}

void MainWindow::start() {
  if (context_.state.server_mode) {
    start_server();
    return;
  }
  if (!context_.adapters.adapter_table_valid || context_.modules.shown_count <= 0) {
    view_.warn(ui::texts::caption_error, ui::texts::search_first);
    return;
  }
  if (context_.modules.active_module_seen) {
    view_.show_message(ui::texts::caption_notice, ui::texts::active_module_present, ui::Icon::warning,
                       ui::Buttons::yes_no);
  }
  start_polling();
}

polling::QuerySettings MainWindow::query_settings() const {
  polling::QuerySettings settings;
  settings.baud_index = context_.settings.baud_index;
  return settings;
}

int MainWindow::build_adapter_table(ui::MessageSink& messages) {
  if (context_.adapters.adapter_table_valid) return 0;
  return netenv::build_adapter_table(context_.adapters, services_.list_adapters(), messages,
                                     rawlink::capture_matcher(context_.raw_ethernet, *services_.raw_link, view_));
}

rawlink::RawEthernet MainWindow::raw_ethernet() {
  return {context_.adapters, context_.raw_ethernet, *services_.raw_link,
          rawlink::uses_raw_arp(context_.state.remote_mode, context_.platform_family)};
}

void MainWindow::start_polling() {
  {
    ui::WaitCursor wait(view_);
    rawlink::RawEthernet raw = raw_ethernet();
    // A module that nobody answers for on the LAN is not polled.
    auto answers = [&raw](std::uint32_t ip) { return rawlink::probe_address_in_use(raw, ip) == 1; };
    if (polling::open_polling_sockets(context_.modules, context_.polling, query_settings(), answers) < 0) {
      context_.state.active = false;
      view_.warn(ui::texts::caption_error, ui::texts::polling_open_failed);
      return;
    }
  }
  for (ui::ButtonId button : {ui::ButtonId::parameter_settings, ui::ButtonId::module_repair, ui::ButtonId::remote_test,
                              ui::ButtonId::start, ui::ButtonId::search}) {
    view_.button_enable(button, false);
  }
  view_.button_enable(ui::ButtonId::stop, true);
  context_.state.active = true;
  {
    ui::WaitCursor wait(view_);
    polling::polling_cycle(true, context_.modules, context_.polling, query_settings());
  }
  polling::show_readings(true, context_.modules, context_.polling, view_);
  view_.timer_start(context_.settings.refresh_period_ms);
}

void MainWindow::start_server() {
  auto lookup = [this](const netenv::AdapterTable&, netenv::ExternalAddresses& results) {
    rawlink::RawEthernet raw = raw_ethernet();
    tools::SystemIcmpLink icmp;
    tools::SystemAddressLookupLink link(raw, icmp);
    return tools::external_address_lookup(context_.adapters, context_.config.address_service_hosts, results, link);
  };
  server::ServerSettingsDialog dialog(context_.server_settings, context_.adapters, context_.external_addresses,
                                      [this](ui::MessageSink& messages) { return build_adapter_table(messages); },
                                      lookup);
  if (view_.run_dialog(dialog) != 1) return;

  reset_module_table();
  int result = 0;
  {
    ui::WaitCursor wait(view_);
    if (!context_.polling.sockets_open) result = upload_server_.start_server();
  }
  if (result < 0) {
    context_.state.active = false;
    view_.warn(ui::texts::caption_error, ui::texts::server_start_failed);
    return;
  }
  context_.state.active = true;
  upload_server_.banner();
  view_.button_enable(ui::ButtonId::start, false);
  view_.button_enable(ui::ButtonId::stop, true);
  if (context_.state.remote_mode) view_.button_enable(ui::ButtonId::remote_test, false);
}

void MainWindow::stop() {
  view_.button_enable(ui::ButtonId::start, true);
  view_.button_enable(ui::ButtonId::stop, false);
  if (context_.state.server_mode) {
    upload_server_.stop_server();
    context_.state.active = false;
    view_.button_enable(ui::ButtonId::remote_test, context_.state.remote_mode);
    return;
  }
  view_.timer_stop();
  if (context_.polling.sockets_open) polling::close_polling_sockets(context_.polling);
  context_.state.active = false;
  view_.button_enable(ui::ButtonId::module_repair, true);
  const MainState& s = context_.state;
  view_.button_enable(ui::ButtonId::parameter_settings, !(s.remote_mode && s.remote_set_by_hand));
  view_.button_enable(ui::ButtonId::search, !s.remote_mode);
  view_.button_enable(ui::ButtonId::remote_test, s.remote_mode);
}

void MainWindow::basic_settings() {
  stop_if_active();
  Settings& file = context_.settings;
  MainState& state = context_.state;
  netenv::BasicSettings values{file.refresh_period_ms, file.data_file_saving != 0, file.expected_port,
                               file.setup_answer_mode != 0, state.repair_enabled, state.remote_mode,
                               state.server_mode, state.settings_changed, state.remote_answered};
  netenv::BasicSettingsDialog dialog(values, context_.adapters,
                                     [this](ui::MessageSink& messages) { return build_adapter_table(messages); });
  const int result = view_.run_dialog(dialog);
  // What the dialog adjusted on opening holds whatever its result.
  file.refresh_period_ms = static_cast<std::uint16_t>(values.refresh_period_ms);
  file.data_file_saving = values.data_file_saving ? 1 : 0;
  file.expected_port = values.expected_port;
  file.setup_answer_mode = values.setup_answer_mode ? 1 : 0;
  state.repair_enabled = values.repair_enabled;
  state.remote_mode = values.remote_mode;
  state.server_mode = values.server_mode;
  state.settings_changed = values.settings_changed;
  state.remote_answered = values.remote_answered;
  if (result != 1) return;

  if (state.settings_changed) {
    clear_module_view();
    state.settings_changed = false;
  }
  if (state.repair_enabled) {
    state.remote_mode = false;
    state.server_mode = false;
    view_.button_show(ui::ButtonId::module_repair, true);
    view_.button_enable(ui::ButtonId::module_repair, true);
    view_.button_show(ui::ButtonId::remote_test, false);
    view_.button_enable(ui::ButtonId::search, false);
  } else {
    apply_mode_layout();
  }
  view_.button_caption(ui::ButtonId::start, state.server_mode ? ui::texts::button_start_server : ui::texts::button_start);
  view_.repaint();
}

void MainWindow::exit() {
  if (context_.state.active) view_.timer_stop();
  if (context_.settings.data_file_saving) {
    write_data_file(context_.start_directory, services_.local_time(), all_lines(view_, ui::ListId::modules),
                    all_lines(view_, ui::ListId::data), view_);
  }
  view_.close_window();
}

}  // namespace app
