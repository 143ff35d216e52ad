#include "support/fake_raw_link.h"

#include <memory>

namespace test {
namespace {

class ScriptedSession final : public platform::CaptureSession {
 public:
  ScriptedSession(FakeRawLink& link, std::string device, CaptureScript script)
      : link_(link), device_(std::move(device)), script_(std::move(script)) {}

  bool ethernet() const override { return script_.ethernet; }
  platform::FilterResult set_filter(const std::string& expression, platform::Ipv4Address netmask) override {
    link_.filters.push_back({device_, expression, netmask});
    return script_.filter_result;
  }
  platform::NextFrame next_frame(std::span<const std::uint8_t>& frame) override {
    if (script_.reads.empty()) return platform::NextFrame::timeout;
    current_ = std::move(script_.reads.front());
    script_.reads.pop_front();
    frame = current_.frame;
    return current_.kind;
  }
  bool send_frame(std::span<const std::uint8_t> frame) override {
    if (!script_.send_ok) return false;
    link_.sent_frames.emplace_back(frame.begin(), frame.end());
    return true;
  }
  std::string last_error() const override { return "scripted"; }

 private:
  FakeRawLink& link_;
  std::string device_;
  CaptureScript script_;
  ScriptedRead current_;
};

}  // namespace

void FakeRawLink::add_devices(const std::vector<std::string>& names) {
  for (const std::string& name : names) listing.devices.push_back({name, "", {}});
}

platform::CaptureOpening FakeRawLink::open_capture(const std::string& device, int timeout_ms) {
  opens.emplace_back(device, timeout_ms);
  CaptureScript script;
  auto found = scripts.find(device);
  if (found != scripts.end() && !found->second.empty()) {
    script = std::move(found->second.front());
    found->second.pop_front();
  }
  if (!script.savefile.empty()) return platform::open_capture_file(script.savefile);
  platform::CaptureOpening opening;
  opening.status = script.open_status;
  if (script.open_status == platform::OpenStatus::opened)
    opening.session = std::make_unique<ScriptedSession>(*this, device, std::move(script));
  else
    opening.error = "scripted open failure";
  return opening;
}

bool FakeRawLink::open_query_socket() {
  ++socket_open_count;
  return socket_opens;
}

bool FakeRawLink::send_query(platform::Ipv4Address broadcast, rawlink::QueryKind kind) {
  queries.push_back({broadcast, kind});
  return query_sends_ok;
}

bool FakeRawLink::resolve_neighbour(platform::Ipv4Address ip, int wait_ms) {
  resolutions.push_back({ip, wait_ms});
  return neighbour_answers;
}

}  // namespace test
