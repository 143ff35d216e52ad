#include "cli/cli_program.h"

#include <algorithm>
#include <chrono>

#include "app/command_steps.h"
#include "app/config_file_report.h"
#include "app/start_directory.h"
#include "app/platform_family.h"
#include "cli/module_records.h"
#include "cli/record_text.h"
#include "polling/polling_cycle.h"
#include "polling/reading_lines.h"
#include "server/upload_server.h"
#include "ui/texts.h"

namespace cli {

namespace {

// Prints each record of the server as it arrives.
class UploadPrinter : public server::UploadListener {
 public:
  UploadPrinter(Format format, OutputStream& out, platform::WaitClock& clock) : format_(format), out_(out), clock_(clock) {}
  void on_upload(const server::UploadEvent& event) override {
    const std::string time = iso8601_time(clock_.local_time());
    out_.line(format_ == Format::csv ? upload_csv(time, event) : upload_json(time, event));
  }

 private:
  Format format_;
  OutputStream& out_;
  platform::WaitClock& clock_;
};

}  // namespace

CliProgram::CliProgram(const CliOptions& options, OutputStream& out, std::FILE* errors, StopSignalClock& clock,
                       rawlink::RawLink& link, std::function<platform::AdapterListing()> list_adapters)
    : options_(options),
      out_(out),
      errors_(errors),
      clock_(clock),
      link_(link),
      list_adapters_(std::move(list_adapters)),
      view_(errors) {
  context_.platform_family = app::current_platform_family();
}

int CliProgram::run() {
  switch (options_.command) {
    case Command::search: return search();
    case Command::poll: return poll();
    case Command::serve: return serve();
  }
  return exit_usage;
}

void CliProgram::error_line(const std::string& text) {
  std::fprintf(errors_, "quorvane-cli: %s\n", text.c_str());
  std::fflush(errors_);
}

std::string CliProgram::now_text() { return iso8601_time(clock_.local_time()); }

int CliProgram::find_modules() {
  app::reset_module_table(context_);
  const int built = app::build_adapter_table(context_, list_adapters_, link_, view_, view_);
  if (built < 0) {
    char text[160];
    std::snprintf(text, sizeof text, ui::texts::local_network_error, built);
    view_.warn(ui::texts::caption_error, text);
    return exit_network;
  }
  const int found = app::search(context_, clock_, link_, view_);
  if (clock_.cancelled()) return exit_ok;  // stopped by a signal: nothing to tell
  if (found < 0) return exit_network;      // the search has shown its message
  if (polling::position_count(context_.modules) == 0) {
    error_line("no module found");
    return exit_nothing;
  }
  return exit_ok;
}

int CliProgram::search() {
  const int status = find_modules();
  if (status != exit_ok || clock_.cancelled()) return status;
  const discovery::ModuleTable& modules = context_.modules;
  const int count = polling::position_count(modules);
  switch (options_.format) {
    case Format::text:
      for (const std::string& line : view_.lines(ui::ListId::modules)) out_.line(line);
      break;
    case Format::csv:
      out_.line(module_csv_header());
      for (int p = 0; p < count; ++p) out_.line(module_csv(module_fields(modules, context_.adapters, p)));
      break;
    case Format::json:
      out_.line("[");
      for (int p = 0; p < count; ++p) {
        out_.line("  " + module_json(module_fields(modules, context_.adapters, p)) + (p + 1 < count ? "," : ""));
      }
      out_.line("]");
      break;
  }
  return exit_ok;
}

int CliProgram::keep_only_chosen() {
  discovery::ModuleTable& modules = context_.modules;
  std::vector<int> kept;
  for (platform::Ipv4Address ip : options_.only) {
    bool found = false;
    for (int p = 0; p < polling::position_count(modules); ++p) {
      const int row = polling::row_at_position(modules, p);
      if (row < 0 || modules.rows[static_cast<std::size_t>(row)].ip != ip) continue;
      if (std::find(kept.begin(), kept.end(), row) == kept.end()) kept.push_back(row);
      found = true;
    }
    if (!found) error_line("--only " + ip.dotted() + ": no such module found");
  }
  std::sort(kept.begin(), kept.end(), [&](int a, int b) {
    const auto* order = modules.display_order.data();
    return std::find(order, order + modules.shown_count, a) < std::find(order, order + modules.shown_count, b);
  });
  std::copy(kept.begin(), kept.end(), modules.display_order.begin());
  modules.shown_count = static_cast<int>(kept.size());
  return kept.empty() ? exit_nothing : exit_ok;
}

void CliProgram::print_cycle(bool first) {
  const discovery::ModuleTable& modules = context_.modules;
  const int count = polling::position_count(modules);
  if (options_.format == Format::text) {
    polling::show_readings(first, modules, context_.polling, view_);
    const std::vector<std::string>& lines = view_.lines(ui::ListId::data);
    for (int p = 0; p < count && p < static_cast<int>(lines.size()); ++p) out_.line(lines[static_cast<std::size_t>(p)]);
    return;
  }
  const std::string timestamp = now_text();
  for (int p = 0; p < count; ++p) {
    const PollFields fields = poll_fields(modules, context_.polling, p, first, timestamp);
    out_.line(options_.format == Format::csv ? poll_csv(fields) : poll_json(fields));
  }
}

int CliProgram::poll() {
  int status = find_modules();
  if (status != exit_ok || clock_.cancelled()) return status;
  if (!options_.only.empty() && (status = keep_only_chosen()) != exit_ok) return status;
  if (app::open_polling(context_, clock_, link_) < 0) {
    view_.warn(ui::texts::caption_error, ui::texts::polling_open_failed);
    return exit_network;
  }
  if (options_.format == Format::csv) out_.line(poll_csv_header());
  const polling::QuerySettings settings = app::query_settings(context_, clock_);
  bool first = true;
  for (long done = 0; !out_.closed();) {
    // A stop signal abandons the cycle in flight: none of its records is printed.
    if (polling::polling_cycle(first, context_.modules, context_.polling, settings) != 0) break;
    print_cycle(first);
    if (!options_.endless && ++done >= options_.cycles) break;
    if (!clock_.sleep_ms(options_.period_ms)) break;
    first = false;
  }
  polling::close_polling_sockets(context_.polling);
  return exit_ok;
}

void CliProgram::print_summary() {
  for (const std::string& line : view_.lines(ui::ListId::modules)) {
    // Records keep standard output to themselves; the table then goes to the error stream.
    if (options_.format == Format::text) {
      out_.line(line);
    } else {
      std::fprintf(errors_, "%s\n", line.c_str());
    }
  }
  std::fflush(errors_);
}

int CliProgram::serve() {
  server::ServerSettings& settings = context_.server_settings;
  settings.protocol = options_.tcp ? discovery::atcp : discovery::audp;
  settings.port = options_.port;
  const int built = app::build_adapter_table(context_, list_adapters_, link_, view_, view_);
  if (built < 0) {
    char text[160];
    std::snprintf(text, sizeof text, ui::texts::local_network_error, built);
    view_.warn(ui::texts::caption_error, text);
    return exit_network;
  }
  if (options_.address) {
    const netenv::AdapterTable& adapters = context_.adapters;
    int entry = 0;
    const int count = std::min(adapters.address_count, netenv::max_address_entries);
    while (entry < count && adapters.addresses[static_cast<std::size_t>(entry)].ip != *options_.address) ++entry;
    if (entry == count) {
      error_line("--address " + options_.address->dotted() + ": not an address of this PC");
      return exit_usage;
    }
    settings.local_address_index = entry;
  }
  if (options_.lookup) {
    // The services' host names are the site's, from quorvane.conf as the window reads it.
    const platform::LoadedConfig site = platform::load_program_config(app::remember_start_directory());
    context_.config = site.parsed.config;
    app::report_config_problems(site, view_);
    app::lookup_external_addresses(context_, clock_, link_);
    if (context_.external_addresses.probes_not_permitted)
      view_.warn(ui::texts::caption_notice, ui::texts::server_lookup_right_missing);
  }
  if (clock_.stop_requested()) return exit_ok;

  app::reset_module_table(context_);
  server::UploadServer server(context_.server, settings, context_.adapters, context_.external_addresses,
                              context_.polling, view_, clock_);
  UploadPrinter printer(options_.format, out_, clock_);
  if (options_.format != Format::text) server.set_listener(&printer);
  if (server.start_server() < 0) {
    view_.warn(ui::texts::caption_error, ui::texts::server_start_failed);
    return exit_network;
  }
  if (options_.format == Format::text) {
    // The banner line first, then the log; the summary rows only when asked for.
    view_.on_line_added = [this](ui::ListId, const std::string& line) { out_.line(line); };
    server.banner();
    view_.on_line_added = [this](ui::ListId list, const std::string& line) {
      if (list == ui::ListId::data) out_.line(line);
    };
  } else {
    server.banner();
  }
  if (options_.format == Format::csv) out_.line(upload_csv_header());

  using std::chrono::steady_clock;
  const auto summary_period = std::chrono::seconds(options_.summary_every_s);
  auto next_summary = steady_clock::now() + summary_period;
  while (!out_.closed()) {
    int wait_ms = 1000;
    if (options_.summary_every_s > 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next_summary - steady_clock::now());
      wait_ms = static_cast<int>(std::clamp<long long>(left.count(), 0, 1000));
    }
    if (!view_.watcher.dispatch(wait_ms, clock_.stop_fd())) break;
    if (options_.summary_every_s > 0 && steady_clock::now() >= next_summary) {
      print_summary();
      next_summary += summary_period;
    }
  }
  server.stop_server();
  view_.on_line_added = nullptr;
  return exit_ok;
}

}  // namespace cli
