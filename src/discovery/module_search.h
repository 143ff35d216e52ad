#pragma once
// The search: the device and configuration queries broadcast to every local subnet on the
// Discovery port, the replies stored in the Module table, then ordering and the list.
#include <cstdint>

#include "discovery/module_table.h"
#include "netenv/adapter_table.h"
#include "platform/wait_clock.h"
#include "ui/main_view.h"

namespace discovery {

// Codes of the passes.
constexpr int pass_send_failed = -3;
constexpr int pass_wait_failed = -4;
constexpr int pass_cancelled = -5;  // Stop or the close box: the search ends without a word

// Codes of search_modules.
constexpr int search_open_failed = -1;
constexpr int search_device_pass_failed = -2;
constexpr int search_configuration_pass_failed = -3;
constexpr int search_counts_differ = -4;
constexpr int search_cancelled = -5;

// The search for modules that do not answer the queries, run after the rows are ordered:
// it may append rows to the table and to display_order. Its outcome does not change the
// search's.
class RawSearch {
 public:
  virtual ~RawSearch() = default;
  virtual void run(ModuleTable& table, netenv::AdapterTable& adapters, ui::MainView& view) = 0;
};

// Device queries to every address entry over the broadcast socket fd; fills the
// device-reply list. Returns 0 or a pass code.
int device_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table);

// Configuration queries to every address entry; fills rows from 0. Returns the number of
// rows filled (0..32) or a pass code.
int configuration_pass(platform::WaitClock& clock, int fd, const netenv::AdapterTable& adapters, ModuleTable& table);

// The whole search into a table the caller has reset; shows its own messages through view
// and refreshes the module list on success. raw_search may be null. Returns 0 or a code above.
int search_modules(platform::WaitClock& clock, netenv::AdapterTable& adapters, ModuleTable& table,
                   std::uint16_t expected_port, ui::MainView& view, RawSearch* raw_search = nullptr);

}  // namespace discovery
