#include "rawlink/raw_search.h"

#include <algorithm>
#include <string>

#include "rawlink/query_triggers.h"
#include "ui/texts.h"

namespace rawlink {
namespace {

constexpr int pass_timeouts = 3;

// Once the devices are matched, each pass only wakes the modules behind its own device.
int trigger(RawEthernet& raw, int device, QueryKind kind) {
  return raw.adapters.capture_devices_matched ? trigger_device_queries(raw, device, kind) : trigger_queries(raw, kind);
}

int device_count(const RawEthernetState& state) {
  return std::min(static_cast<int>(state.capture_devices.size()), netenv::max_capture_devices);
}

// When the devices are matched, only devices with an adapter take part.
bool takes_part(const netenv::AdapterTable& adapters, int device) {
  return !adapters.capture_devices_matched || device_adapter(adapters, device) != netenv::unknown_adapter;
}

OpenedCapture open_arp_capture(RawEthernet& raw, const SearchCaptures& captures, int device) {
  const platform::CaptureDevice* chosen = numbered_device(captures.devices, device);
  const platform::Ipv4Address netmask = chosen != nullptr ? capture_netmask(*chosen) : platform::Ipv4Address{};
  return open_filtered_capture(raw.link, chosen, search_read_timeout_ms, "arp", netmask);
}

// Shows the message of a failed open step and returns its code. Without the right to
// capture every device fails alike, search after search: that is told once, with the
// right that is missing.
int report_open_failure(RawEthernetState& state, CaptureStep step, ui::MessageSink& messages) {
  auto fail = [&messages](const std::string& text, int code) {
    messages.warn(ui::texts::caption_error, text);
    return code;
  };
  switch (step) {
    case CaptureStep::permission_denied:
      if (state.capture_rights_reported) return capture_open_failed;
      state.capture_rights_reported = true;
      return fail(std::string(ui::texts::capture_open_failed) + ui::texts::capture_right_missing, capture_open_failed);
    case CaptureStep::not_ethernet:
      return fail(ui::texts::capture_not_ethernet, capture_not_ethernet);
    case CaptureStep::compile_failed:
      return fail(ui::texts::capture_filter_compile_failed, capture_compile_failed);
    case CaptureStep::set_failed:
      return fail(ui::texts::capture_filter_set_failed, capture_set_failed);
    case CaptureStep::no_device:
    case CaptureStep::open_failed:
    case CaptureStep::opened:
      break;
  }
  return fail(ui::texts::capture_open_failed, capture_open_failed);
}

}  // namespace

SearchCaptures open_search_captures(RawEthernet& raw) {
  SearchCaptures captures;
  captures.devices = look_up_capture_devices(raw.link);
  for (int d = 0; d < device_count(raw.state); ++d) {
    if (!takes_part(raw.adapters, d)) continue;
    captures.early[static_cast<std::size_t>(d)] = open_arp_capture(raw, captures, d);
  }
  return captures;
}

int capture_pass(RawEthernet& raw, SearchCaptures& captures, int device, ui::MessageSink& messages) {
  if (device < 0 || device >= netenv::max_capture_devices) return capture_open_failed;
  std::optional<OpenedCapture>& early = captures.early[static_cast<std::size_t>(device)];
  OpenedCapture opened = early ? std::move(*early) : open_arp_capture(raw, captures, device);
  early.reset();
  if (opened.step != CaptureStep::opened) return report_open_failure(raw.state, opened.step, messages);
  std::unique_ptr<platform::CaptureSession> session = std::move(opened.session);

  // A failed query send only means fewer frames to see; the capture goes on.
  trigger(raw, device, QueryKind::configuration);
  DeviceArpEntries& captured = raw.state.captured[static_cast<std::size_t>(device)];
  for (int timeouts = 0;;) {
    std::span<const std::uint8_t> frame;
    switch (session->next_frame(frame)) {
      case platform::NextFrame::frame:
        record_arp_frame(frame, device, captured, raw.adapters);
        break;
      case platform::NextFrame::timeout:
        if (++timeouts == pass_timeouts) return 0;
        trigger(raw, device, timeouts == 1 ? QueryKind::device : QueryKind::configuration);
        break;
      case platform::NextFrame::error:
        messages.warn(ui::texts::caption_error, ui::texts::capture_read_failed);
        return capture_read_failed;
      case platform::NextFrame::end:
        return 0;
    }
  }
}

int raw_search(RawEthernet& raw, SearchCaptures& captures, ui::MainView& view) {
  RawEthernetState& state = raw.state;
  netenv::AdapterTable& adapters = raw.adapters;
  {
    ui::WaitCursor wait(view);
    if (!raw.link.open_query_socket()) return raw_socket_failed;
    state.captured_total = 0;
    adapters.matched_device_count = 0;
    for (DeviceArpEntries& captured : state.captured) captured.count = 0;
    bool matched = adapters.capture_devices_matched;
    for (int d = 0; d < device_count(state); ++d) {
      if (!takes_part(adapters, d)) continue;
      capture_pass(raw, captures, d, view);  // a failed device has shown its message; the others still count
    }
    raw.link.close_query_socket();
    if (!matched && adapters.matched_device_count == adapters.adapter_count) adapters.capture_devices_matched = true;
  }
  for (DeviceArpEntries& captured : state.captured) state.captured_total += deduplicate_arp_entries(captured);
  return 0;
}

}  // namespace rawlink
