#pragma once
// The data list: one line per list position, the readings of a sensor module or the
// reason why there are none. Line k belongs to line k of the module list.
#include <string>

#include "discovery/module_table.h"
#include "polling/polling_table.h"
#include "ui/main_view.h"

namespace polling {

// Line of list position (numbered from 1 in the text); first = the cycle run by Start,
// which never shows the inputs. Empty when no row is listed there.
std::string reading_line(const discovery::ModuleTable& modules, const PollingTable& polling, int position, bool first);

// Replaces data-list lines 0 .. shown_count - 1 (later lines stay), keeping both lists
// scrolled to the data list's top line. Returns 0.
int show_readings(bool first, const discovery::ModuleTable& modules, const PollingTable& polling, ui::MainView& view);

}  // namespace polling
