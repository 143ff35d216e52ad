#pragma once
// The steps of the window's commands that the command-line program takes too, over the
// same program state: whoever calls them brings its own view, clock and raw link.
#include <functional>

#include "app/program_context.h"
#include "rawlink/raw_ethernet.h"
#include "platform/adapters.h"
#include "platform/wait_clock.h"
#include "polling/query_module.h"
#include "ui/main_view.h"

namespace app {

// Empties the Module table and what hangs on it: polling rows and the upload summary.
void reset_module_table(ProgramContext& context);

// Builds the Adapter table unless it is valid: 0, or the build's negative code. Its
// messages go to messages, those of the capture devices to view.
int build_adapter_table(ProgramContext& context, const std::function<platform::AdapterListing()>& list_adapters,
                        rawlink::RawLink& link, ui::MessageSink& messages, ui::MainView& view);

rawlink::RawEthernet raw_ethernet(ProgramContext& context, rawlink::RawLink& link);
// The baud rate of the settings and, in remote mode, the remote module's address and the
// address of the adapter it answered on (row 0's subnet).
polling::QuerySettings query_settings(const ProgramContext& context, platform::WaitClock& clock);

// Address of the address entry the remote module in row 0 answered on; 0.0.0.0 when there
// is no such entry.
platform::Ipv4Address remote_local_ip(const ProgramContext& context);

// The search into the reset Module table, the raw-Ethernet search after it, the module
// list in view: discovery::search_modules' result.
int search(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link, ui::MainView& view);

// Opens the polling sockets of the listed sensor modules; a module nobody answers for on
// the LAN is not polled. polling::open_polling_sockets' result.
int open_polling(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link);

// The PC's external address per address entry, from the web services.
int lookup_external_addresses(ProgramContext& context, platform::WaitClock& clock, rawlink::RawLink& link);

}  // namespace app
