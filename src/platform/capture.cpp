#include "platform/capture.h"

#include <net/if.h>
#include <netinet/in.h>
#include <pcap/pcap.h>
#include <sys/socket.h>

#include <cstring>
#include <utility>

namespace platform {
namespace {

class PcapSession final : public CaptureSession {
 public:
  // timeout_ms 0 and no clock: a savefile, which never waits.
  PcapSession(pcap_t* handle, int timeout_ms, WaitClock* clock)
      : handle_(handle), timeout_ms_(timeout_ms), clock_(clock) {}
  ~PcapSession() override { pcap_close(handle_); }
  PcapSession(const PcapSession&) = delete;
  PcapSession& operator=(const PcapSession&) = delete;

  bool ethernet() const override { return pcap_datalink(handle_) == DLT_EN10MB; }

  FilterResult set_filter(const std::string& expression, Ipv4Address netmask) override {
    bpf_program program{};
    if (pcap_compile(handle_, &program, expression.c_str(), 1, netmask.network_order()) != 0) return FilterResult::compile_failed;
    int set = pcap_setfilter(handle_, &program);
    pcap_freecode(&program);
    return set == 0 ? FilterResult::installed : FilterResult::set_failed;
  }

  // The library's own read time-out does not end a read on Linux while no frame arrives, so
  // a live capture is read without blocking and waited for here.
  NextFrame next_frame(std::span<const std::uint8_t>& frame) override {
    for (;;) {
      pcap_pkthdr* header = nullptr;
      const u_char* data = nullptr;
      int read = pcap_next_ex(handle_, &header, &data);
      if (read == 1) {
        frame = std::span<const std::uint8_t>(data, header->caplen);
        return NextFrame::frame;
      }
      if (read == PCAP_ERROR_BREAK) return NextFrame::end;
      if (read < 0) return NextFrame::error;
      if (clock_ == nullptr) return NextFrame::timeout;
      switch (clock_->wait_readable(pcap_get_selectable_fd(handle_), timeout_ms_ / 1000, timeout_ms_ % 1000 * 1000L)) {
        case WaitResult::ready: break;
        case WaitResult::timeout: return NextFrame::timeout;
        case WaitResult::cancelled: return NextFrame::end;
        case WaitResult::error: return NextFrame::error;
      }
    }
  }

  bool send_frame(std::span<const std::uint8_t> frame) override {
    return pcap_sendpacket(handle_, frame.data(), static_cast<int>(frame.size())) == 0;
  }

  std::string last_error() const override { return pcap_geterr(handle_); }

 private:
  pcap_t* handle_;
  int timeout_ms_;
  WaitClock* clock_;
};

// An interface of the kernel, as opposed to the library's pseudo-devices.
bool is_kernel_interface(const pcap_if_t& device) {
  return (device.flags & PCAP_IF_LOOPBACK) == 0 && if_nametoindex(device.name) != 0;
}

Ipv4Address first_ipv4_netmask(const pcap_if_t& device) {
  for (const pcap_addr_t* address = device.addresses; address != nullptr; address = address->next) {
    if (address->addr == nullptr || address->addr->sa_family != AF_INET) continue;
    if (address->netmask == nullptr) return {};
    sockaddr_in mask{};
    std::memcpy(&mask, address->netmask, sizeof mask);
    return Ipv4Address::from_network_order(mask.sin_addr.s_addr);
  }
  return {};
}

CaptureOpening opened(std::unique_ptr<PcapSession> session) {
  CaptureOpening opening;
  opening.status = OpenStatus::opened;
  opening.session = std::move(session);
  return opening;
}

CaptureOpening failed(OpenStatus status, std::string error) {
  CaptureOpening opening;
  opening.status = status;
  opening.error = std::move(error);
  return opening;
}

}  // namespace

CaptureDeviceListing list_capture_devices() {
  CaptureDeviceListing listing;
  char error[PCAP_ERRBUF_SIZE] = "";
  pcap_if_t* devices = nullptr;
  if (pcap_findalldevs(&devices, error) != 0) {
    listing.error = error;
    return listing;
  }
  for (const pcap_if_t* device = devices; device != nullptr; device = device->next) {
    if (device->name == nullptr || !is_kernel_interface(*device)) continue;
    listing.devices.push_back(
        {device->name, device->description != nullptr ? device->description : "", first_ipv4_netmask(*device)});
  }
  pcap_freealldevs(devices);
  listing.ok = true;
  return listing;
}

CaptureOpening open_live_capture(const std::string& device, int snaplen_bytes, bool promiscuous, int timeout_ms,
                                 WaitClock& clock) {
  char error[PCAP_ERRBUF_SIZE] = "";
  pcap_t* handle = pcap_create(device.c_str(), error);
  if (handle == nullptr) return failed(OpenStatus::failed, error);
  auto session = std::make_unique<PcapSession>(handle, timeout_ms, &clock);  // closes the handle on every path
  pcap_set_snaplen(handle, snaplen_bytes);
  pcap_set_promisc(handle, promiscuous ? 1 : 0);
  pcap_set_timeout(handle, timeout_ms);
  pcap_set_immediate_mode(handle, 1);
  int status = pcap_activate(handle);
  if (status < 0) {
    std::string text = pcap_geterr(handle);
    if (text.empty()) text = pcap_statustostr(status);
    return failed(status == PCAP_ERROR_PERM_DENIED ? OpenStatus::permission_denied : OpenStatus::failed, text);
  }
  if (pcap_setnonblock(handle, 1, error) != 0) return failed(OpenStatus::failed, error);
  return opened(std::move(session));
}

CaptureOpening open_capture_file(const std::string& path) {
  char error[PCAP_ERRBUF_SIZE] = "";
  pcap_t* handle = pcap_open_offline(path.c_str(), error);
  if (handle == nullptr) return failed(OpenStatus::failed, error);
  return opened(std::make_unique<PcapSession>(handle, 0, nullptr));
}

}  // namespace platform
