#pragma once
// Modules seen only by their ARP frames: the raw-Ethernet search run as the search's hook,
// and the raw_only rows it adds to the Module table.
#include "discovery/module_search.h"
#include "discovery/module_table.h"
#include "rawlink/raw_search.h"
#include "rawlink/system_raw_link.h"

namespace discovery {

// The Discovery-port queries behind the raw-Ethernet search's query kinds.
rawlink::QueryDatagrams raw_search_queries();

// Appends a raw_only row (IP, MAC and the address it asked for) for every captured entry
// whose module the search did not list, devices in order; none once the table is full.
void add_captured_rows(ModuleTable& table, const netenv::AdapterTable& adapters, const rawlink::RawEthernetState& state);

// The hook of search_modules: captures open from the first query, then the raw-Ethernet
// search and its rows.
class RawEthernetSearch final : public RawSearch {
 public:
  RawEthernetSearch(rawlink::RawEthernetState& state, rawlink::RawLink& link, bool raw_arp)
      : state_(state), link_(link), raw_arp_(raw_arp) {}
  void start(netenv::AdapterTable& adapters) override;
  void run(ModuleTable& table, netenv::AdapterTable& adapters, ui::MainView& view) override;

 private:
  rawlink::RawEthernetState& state_;
  rawlink::RawLink& link_;
  bool raw_arp_;
  rawlink::SearchCaptures captures_;
};

}  // namespace discovery
