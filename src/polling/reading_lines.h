#pragma once
// The data list: one line per list position, the readings of a sensor module or the
// reason why there are none. Line k belongs to line k of the module list.
#include <cstdint>
#include <optional>
#include <string>

#include "discovery/module_table.h"
#include "polling/polling_table.h"
#include "ui/main_view.h"

namespace polling {

// What the line of a list position tells: the readings, or why there are none.
enum class ReadingStatus {
  not_listed,
  outside_subnet,
  raw_only,
  not_sensor,
  mode_error,
  active_upload,
  no_connection,
  no_response,
  no_data,      // an SNMP module without a name
  check_error,  // a text reply that fails the validity check
  ok,
};

// The readings behind a line, as its text shows them; values only with status ok, and
// the inputs only when the line shows them.
struct ModuleReading {
  ReadingStatus status = ReadingStatus::not_listed;
  std::optional<double> temperature_c;
  std::optional<double> humidity_percent;
  std::optional<std::uint8_t> inputs;  // DI5..DI0 in bits 5..0
};

ModuleReading module_reading(const discovery::ModuleTable& modules, const PollingTable& polling, int position,
                             bool first);

// Line of list position (numbered from 1 in the text); first = the cycle run by Start,
// which never shows the inputs. Empty when no row is listed there.
std::string reading_line(const discovery::ModuleTable& modules, const PollingTable& polling, int position, bool first);

// Replaces data-list lines 0 .. shown_count - 1 (later lines stay), keeping both lists
// scrolled to the data list's top line. Returns 0.
int show_readings(bool first, const discovery::ModuleTable& modules, const PollingTable& polling, ui::MainView& view);

}  // namespace polling
