#pragma once
// The raw-Ethernet search, run at the end of every search: ARP frames are captured on each
// capture device while the discovery queries go out again, and the modules' frames are
// kept, per device, in state.captured for the Module table to list.
#include <array>
#include <memory>
#include <optional>

#include "rawlink/capture_devices.h"
#include "rawlink/capture_open.h"
#include "rawlink/raw_ethernet.h"
#include "ui/main_view.h"
#include "ui/message_sink.h"

namespace rawlink {

constexpr int search_read_timeout_ms = 300;

// Codes of capture_pass.
constexpr int capture_open_failed = -3;
constexpr int capture_not_ethernet = -4;
constexpr int capture_compile_failed = -5;
constexpr int capture_set_failed = -6;
constexpr int capture_read_failed = -7;
// Code of raw_search.
constexpr int raw_socket_failed = -1;

// The captures of one search: the devices looked up once, and the captures opened before
// the search's first query. A module that ARPs once a second answers that query with an
// ARP request and stays silent for seconds after it; the frame waits in its capture
// until the device's pass reads it.
struct SearchCaptures {
  std::optional<CaptureDevices> devices;
  std::array<std::optional<OpenedCapture>, netenv::max_capture_devices> early{};
};

// Looks the devices up and opens an "arp" capture on every device that takes part in the
// passes. Silent: the pass of a device that could not be opened shows the failure.
SearchCaptures open_search_captures(RawEthernet& raw);

// One capture on device (the early one, else opened now): records ARP frames until
// the third read time-out (the queries are sent again after the first two) or the end of
// the capture. A failing step shows its message; a missing capture right is told only
// once per run. Returns 0 or a code above.
int capture_pass(RawEthernet& raw, SearchCaptures& captures, int device, ui::MessageSink& messages);

// The whole raw-Ethernet search over the capture devices; leaves the de-duplicated
// entries in state.captured and their number in captured_total. Returns 0 or
// raw_socket_failed.
int raw_search(RawEthernet& raw, SearchCaptures& captures, ui::MainView& view);

}  // namespace rawlink
