#include "rawlink/capture_open.h"

#include "platform/ipv4.h"

namespace rawlink {
namespace {

constexpr std::uint32_t default_netmask = 0xFFFFFF00;  // host order

}  // namespace

OpenedCapture open_filtered_capture(RawLink& link, const platform::CaptureDevice* device, int timeout_ms,
                                    const char* filter, std::uint32_t netmask_network) {
  OpenedCapture result;
  if (device == nullptr) return result;
  platform::CaptureOpening opening = link.open_capture(device->name, timeout_ms);
  if (opening.status != platform::OpenStatus::opened || !opening.session) {
    result.step = opening.status == platform::OpenStatus::permission_denied ? CaptureStep::permission_denied
                                                                            : CaptureStep::open_failed;
    return result;
  }
  if (!opening.session->ethernet()) {
    result.step = CaptureStep::not_ethernet;
    return result;
  }
  switch (opening.session->set_filter(filter, netmask_network)) {
    case platform::FilterResult::compile_failed:
      result.step = CaptureStep::compile_failed;
      return result;
    case platform::FilterResult::set_failed:
      result.step = CaptureStep::set_failed;
      return result;
    case platform::FilterResult::installed:
      break;
  }
  result.step = CaptureStep::opened;
  result.session = std::move(opening.session);
  return result;
}

std::uint32_t capture_netmask(const platform::CaptureDevice& device) {
  return device.netmask != 0 ? device.netmask : platform::host_to_network(default_netmask);
}

}  // namespace rawlink
