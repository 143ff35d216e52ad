#pragma once
// A RawLink without a network: capture devices, sessions and their frames come from a
// script, and every query, resolution, send and pause is recorded.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rawlink/raw_link.h"
#include "support/fake_wait_clock.h"
#include "support/arp_test_frames.h"

namespace test {

struct ScriptedRead {
  platform::NextFrame kind = platform::NextFrame::timeout;
  Frame frame;
};

// What one open of a device does.
struct CaptureScript {
  platform::OpenStatus open_status = platform::OpenStatus::opened;
  bool ethernet = true;
  platform::FilterResult filter_result = platform::FilterResult::installed;
  bool send_ok = true;
  std::deque<ScriptedRead> reads{};  // then time-outs for ever
};

struct SentQuery {
  platform::Ipv4Address broadcast;
  rawlink::QueryKind kind;
};

struct Resolution {
  platform::Ipv4Address ip;
  int wait_ms;
};

struct InstalledFilter {
  std::string expression;
  platform::Ipv4Address netmask;
};

class FakeRawLink : public rawlink::RawLink {
 public:
  // Test side: the script.
  platform::CaptureDeviceListing listing{true, "", {}};
  std::map<std::string, std::deque<CaptureScript>> scripts;  // by device; each open takes the next, default after
  bool socket_opens = true;
  bool query_sends_ok = true;
  bool neighbour_answers = false;

  // Test side: what happened.
  std::vector<std::pair<std::string, int>> opens;  // device, read time-out
  std::vector<InstalledFilter> filters;
  std::vector<Frame> sent_frames;
  std::vector<SentQuery> queries;
  std::vector<Resolution> resolutions;
  int socket_open_count = 0, socket_close_count = 0;
  FakeWaitClock wait_clock;  // records every pause

  void add_devices(const std::vector<std::string>& names) {
    for (const std::string& name : names) listing.devices.push_back({name, "", {}});
  }

  platform::CaptureDeviceListing list_capture_devices() override { return listing; }
  platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) override;
  bool open_query_socket() override {
    ++socket_open_count;
    return socket_opens;
  }
  bool send_query(platform::Ipv4Address broadcast, rawlink::QueryKind kind) override {
    queries.push_back({broadcast, kind});
    return query_sends_ok;
  }
  void close_query_socket() override { ++socket_close_count; }
  bool resolve_neighbour(platform::Ipv4Address ip, int wait_ms) override {
    resolutions.push_back({ip, wait_ms});
    return neighbour_answers;
  }
  platform::WaitClock& clock() override { return wait_clock; }
};

// A capture session playing one script.
class ScriptedSession final : public platform::CaptureSession {
 public:
  ScriptedSession(FakeRawLink& link, CaptureScript script) : link_(link), script_(std::move(script)) {}

  bool ethernet() const override { return script_.ethernet; }
  platform::FilterResult set_filter(const std::string& expression, platform::Ipv4Address netmask) override {
    link_.filters.push_back({expression, netmask});
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
    if (script_.send_ok) link_.sent_frames.emplace_back(frame.begin(), frame.end());
    return script_.send_ok;
  }
  std::string last_error() const override { return "scripted"; }

 private:
  FakeRawLink& link_;
  CaptureScript script_;
  ScriptedRead current_;
};

inline platform::CaptureOpening FakeRawLink::open_capture(const std::string& device, int timeout_ms) {
  opens.emplace_back(device, timeout_ms);
  CaptureScript script;
  if (auto found = scripts.find(device); found != scripts.end() && !found->second.empty()) {
    script = std::move(found->second.front());
    found->second.pop_front();
  }
  platform::CaptureOpening opening;
  opening.status = script.open_status;
  if (script.open_status == platform::OpenStatus::opened)
    opening.session = std::make_unique<ScriptedSession>(*this, std::move(script));
  else
    opening.error = "scripted open failure";
  return opening;
}

}  // namespace test
