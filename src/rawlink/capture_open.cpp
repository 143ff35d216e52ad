#include "rawlink/capture_open.h"


namespace rawlink {
namespace {

constexpr auto default_netmask = platform::Ipv4Address::from_octets(255, 255, 255, 0);

}  // namespace

OpenedCapture open_filtered_capture(RawLink& link, const platform::CaptureDevice* device, int timeout_ms,
                                    const char* filter, platform::Ipv4Address netmask) {
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
  switch (opening.session->set_filter(filter, netmask)) {
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

platform::Ipv4Address capture_netmask(const platform::CaptureDevice& device) {
  return device.netmask.is_zero() ? default_netmask : device.netmask;
}

}  // namespace rawlink
