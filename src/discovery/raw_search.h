#pragma once
// The raw-Ethernet search, run at the end of every search: ARP frames are captured on each
// capture device while the discovery queries go out again, and modules seen only by their
// frames become raw_only rows (IP, MAC and the address they asked for).
#include "discovery/module_search.h"
#include "discovery/module_table.h"
#include "discovery/raw_ethernet.h"
#include "ui/main_view.h"
#include "ui/message_sink.h"

namespace discovery {

constexpr int search_read_timeout_ms = 300;

enum class QueryKind { device, configuration };

// Codes of capture_pass; trigger_queries and trigger_device_queries give trigger_send_failed.
constexpr int capture_open_failed = -3;
constexpr int capture_not_ethernet = -4;
constexpr int capture_compile_failed = -5;
constexpr int capture_set_failed = -6;
constexpr int capture_read_failed = -7;
constexpr int trigger_send_failed = -3;
constexpr int raw_socket_failed = -1;  // raw_search

// For every address entry: has the PC resolve host 253 of its subnet, so that its own ARP
// request goes out, and sends the query to the directed broadcast of each adapter's first
// entry. Returns 0 or trigger_send_failed.
int trigger_queries(RawEthernet& raw, QueryKind kind);

// Sends the query to the directed broadcast of the first entry of the device's adapter;
// nothing while the device has no adapter. Returns 0 or trigger_send_failed.
int trigger_device_queries(RawEthernet& raw, int device, QueryKind kind);

// One capture on device: records ARP frames until the third read time-out (the queries
// are sent again after the first two) or the end of the capture. A failing step shows its
// message; a missing capture right is told only once per run. Returns 0 or a code above.
int capture_pass(RawEthernet& raw, int device, ui::MessageSink& messages);

// The whole raw-Ethernet search over the capture devices; appends raw_only rows to table
// and to its display_order. Returns 0 or raw_socket_failed.
int raw_search(RawEthernet& raw, ModuleTable& table, ui::MainView& view);

// The hook that search_modules runs after ordering the rows.
class RawEthernetSearch final : public RawSearch {
 public:
  RawEthernetSearch(RawEthernetState& state, RawLink& link, bool raw_arp)
      : state_(state), link_(link), raw_arp_(raw_arp) {}
  void run(ModuleTable& table, netenv::AdapterTable& adapters, ui::MainView& view) override;

 private:
  RawEthernetState& state_;
  RawLink& link_;
  bool raw_arp_;
};

}  // namespace discovery
