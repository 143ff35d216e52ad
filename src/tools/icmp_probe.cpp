#include "tools/icmp_probe.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "rawlink/capture_devices.h"
#include "rawlink/capture_open.h"
#include "tools/captured_reply_probe.h"
#include "tools/icmp_echo.h"
#include "tools/send_echo.h"

namespace tools {
namespace {

class SystemIcmpSocket final : public IcmpSocket {
 public:
  SystemIcmpSocket(platform::SocketHandle socket, platform::WaitClock& clock)
      : socket_(std::move(socket)), clock_(clock) {}
  bool send(platform::Ipv4Address target, std::span<const std::uint8_t> message) override {
    return platform::send_icmp(socket_.fd(), target, message);
  }
  platform::WaitResult wait_readable(long seconds, long microseconds) override {
    return clock_.wait_readable(socket_.fd(), seconds, microseconds);
  }
  int receive(std::span<std::uint8_t> buffer) override { return platform::receive_ip_packet(socket_.fd(), buffer); }

 private:
  platform::SocketHandle socket_;
  platform::WaitClock& clock_;
};

const netenv::AddressEntry* address_entry(const netenv::AdapterTable& adapters, int entry) {
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  if (entry < 0 || entry >= count) return nullptr;
  return &adapters.addresses[static_cast<std::size_t>(entry)];
}

IcmpOpening open_probe_socket(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry) {
  const netenv::AddressEntry* address = address_entry(adapters, entry);
  return address != nullptr ? icmp.open_socket(address->ip) : IcmpOpening{};
}

bool not_permitted(const IcmpOpening& opening) { return opening.status == platform::raw_socket_not_permitted; }

// Waits for this attempt's reply: true when one arrived, false on time-out; code set to a
// negative code on failure.
bool await_reply(IcmpSocket& socket, platform::Ipv4Address target, std::uint16_t identifier, int& code) {
  std::array<std::uint8_t, echo_receive_bytes> buffer{};
  for (;;) {
    switch (socket.wait_readable(echo_wait_s, echo_wait_us)) {
      case platform::WaitResult::timeout:
        return false;
      case platform::WaitResult::cancelled:
      case platform::WaitResult::error:
        code = echo_wait_failed;
        return false;
      case platform::WaitResult::ready:
        break;
    }
    int received = socket.receive(buffer);
    if (received < 0) {
      code = echo_io_failed;
      return false;
    }
    auto packet = std::span<const std::uint8_t>(buffer).first(std::min<std::size_t>(received, buffer.size()));
    if (is_echo_reply(packet, target, identifier)) return true;
  }
}

}  // namespace

IcmpOpening SystemIcmpLink::open_socket(platform::Ipv4Address local_ip) {
  platform::RawSocketOpening opening = platform::open_raw_icmp_socket(local_ip);
  if (opening.status != 0) return {nullptr, opening.status};
  return {std::make_unique<SystemIcmpSocket>(std::move(opening.socket), clock_), 0};
}

std::uint16_t SystemIcmpLink::identifier() { return echo_identifier(::getpid()); }

int echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, platform::Ipv4Address target) {
  IcmpOpening opening = open_probe_socket(adapters, icmp, entry);
  if (!opening.socket) return not_permitted(opening) ? echo_not_permitted : echo_socket_failed;
  IcmpSocket& socket = *opening.socket;
  std::uint16_t identifier = icmp.identifier();
  int replies = 0;
  for (int sequence = 0; sequence < echo_attempts; ++sequence) {
    EchoRequest request = build_echo_request(identifier, static_cast<std::uint16_t>(sequence), icmp.clock().tick_count_ms());
    if (!socket.send(target, request)) return echo_io_failed;
    int code = 0;
    if (await_reply(socket, target, identifier, code)) ++replies;
    if (code < 0) return code;
  }
  return replies;
}

int send_echo(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, platform::Ipv4Address target) {
  IcmpOpening opening = open_probe_socket(adapters, icmp, entry);
  if (!opening.socket) return not_permitted(opening) ? send_echo_not_permitted : send_echo_open_failed;
  EchoRequest request = build_echo_request(icmp.identifier(), 0, icmp.clock().tick_count_ms());
  return opening.socket->send(target, request) ? 0 : send_echo_send_failed;
}

int captured_reply_probe(rawlink::RawEthernet& raw, IcmpLink& icmp, int entry, platform::Ipv4Address target) {
  if (!raw.adapters.capture_devices_matched) return report_devices_unmatched;
  const netenv::AddressEntry* address = address_entry(raw.adapters, entry);
  int device = address != nullptr ? rawlink::device_of_adapter(raw.adapters, raw.state, address->adapter) : -1;
  if (device < 0) return report_no_device;
  std::optional<rawlink::CaptureDevices> devices = rawlink::look_up_capture_devices(raw.link);
  if (!devices) return report_list_failed;
  const platform::CaptureDevice* chosen = rawlink::numbered_device(devices, device);
  const platform::Ipv4Address netmask = chosen != nullptr ? rawlink::capture_netmask(*chosen) : platform::Ipv4Address{};
  rawlink::OpenedCapture opened =
      rawlink::open_filtered_capture(raw.link, chosen, report_read_timeout_ms, "icmp", netmask);
  switch (opened.step) {
    case rawlink::CaptureStep::opened:
      break;
    case rawlink::CaptureStep::compile_failed:
      return report_compile_failed;
    case rawlink::CaptureStep::set_failed:
      return report_set_failed;
    case rawlink::CaptureStep::permission_denied:
      return report_not_permitted;
    case rawlink::CaptureStep::no_device:
    case rawlink::CaptureStep::open_failed:
    case rawlink::CaptureStep::not_ethernet:  // reports are read at Ethernet offsets
      return report_open_failed;
  }
  platform::CaptureSession& session = *opened.session;
  const platform::Ipv4Address adapter_ip = raw.adapters.addresses[static_cast<std::size_t>(entry)].ip;
  int reports = 0;
  for (int pass = 0; pass < report_passes; ++pass) {
    // A failed send still leaves the pass to reports of earlier requests; a send that may
    // never happen leaves nothing to wait for.
    if (send_echo(raw.adapters, icmp, entry, target) == send_echo_not_permitted) return report_not_permitted;
    std::span<const std::uint8_t> frame;
    while (session.next_frame(frame) == platform::NextFrame::frame)
      if (is_network_unreachable_report(frame, adapter_ip, target)) ++reports;
    if (reports > 0) break;
    raw.link.clock().sleep_ms(report_pause_ms);
  }
  return reports > 0 ? 0 : report_not_seen;
}

int remote_echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, platform::Ipv4Address target,
                      int& probe_subnet_index) {
  int count = std::clamp(adapters.address_count, 0, netenv::max_address_entries);
  int result = 0;
  for (int entry = 0; entry < count; ++entry) {
    result = echo_probe(adapters, icmp, entry, target);
    if (result == echo_not_permitted) break;  // every entry would be refused alike
    if (result > 0) {
      probe_subnet_index = entry;
      break;
    }
  }
  return result;
}

}  // namespace tools
