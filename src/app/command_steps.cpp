#include "app/command_steps.h"

#include <algorithm>

#include "rawlink/address_probe.h"
#include "rawlink/capture_devices.h"
#include "discovery/module_search.h"
#include "discovery/captured_rows.h"
#include "netenv/adapter_table.h"
#include "polling/polling_cycle.h"
#include "tools/external_address_lookup.h"
#include "tools/icmp_probe.h"

namespace app {

void reset_module_table(ProgramContext& context) {
  discovery::reset_module_table(context.modules);
  polling::reset_polling_rows(context.polling);
  server::clear_upload_summary(context.server);
}

int build_adapter_table(ProgramContext& context, const std::function<platform::AdapterListing()>& list_adapters,
                        rawlink::RawLink& link, ui::MessageSink& messages, ui::MainView& view) {
  if (context.adapters.adapter_table_valid) return 0;
  return netenv::build_adapter_table(context.adapters, list_adapters(), messages,
                                     rawlink::capture_matcher(context.raw_ethernet, link, view));
}

rawlink::RawEthernet raw_ethernet(ProgramContext& context, rawlink::RawLink& link) {
  return {context.adapters, context.raw_ethernet, link,
          rawlink::uses_raw_arp(context.state.remote_mode, context.platform_family)};
}

polling::QuerySettings query_settings(const ProgramContext& context, platform::WaitClock& clock) {
  const bool remote = context.state.remote_mode;
  return {clock, context.settings.baud_index,
          {remote, remote ? context.state.remote_ip : platform::Ipv4Address{},
           remote ? remote_local_ip(context) : platform::Ipv4Address{}}};
}

platform::Ipv4Address remote_local_ip(const ProgramContext& context) {
  const int entry = context.modules.rows[0].subnet_index;
  if (entry >= std::min(context.adapters.address_count, netenv::max_address_entries)) return {};
  return context.adapters.addresses[static_cast<std::size_t>(entry)].ip;
}

int search(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link, ui::MainView& view) {
  discovery::RawEthernetSearch raw_search(context.raw_ethernet, link,
                                          rawlink::uses_raw_arp(context.state.remote_mode, context.platform_family));
  return discovery::search_modules(clock, context.adapters, context.modules, context.settings.expected_port, view,
                                   &raw_search);
}

int open_polling(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link) {
  rawlink::RawEthernet raw = raw_ethernet(context, link);
  auto answers = [&raw](platform::Ipv4Address ip) { return rawlink::probe_address_in_use(raw, ip) == 1; };
  return polling::open_polling_sockets(context.modules, context.polling, query_settings(context, clock), answers);
}

int lookup_external_addresses(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link) {
  rawlink::RawEthernet raw = raw_ethernet(context, link);
  tools::SystemIcmpLink icmp(clock);
  tools::SystemAddressLookupLink lookup_link(raw, icmp);
  return tools::external_address_lookup(context.adapters, context.config.address_service_hosts,
                                        context.external_addresses, lookup_link);
}

}  // namespace app
