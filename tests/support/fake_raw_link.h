#pragma once
// A RawLink without a network: capture devices, sessions and their frames come from a
// script (or from savefiles), and every query, resolution, send and pause is recorded.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "rawlink/raw_link.h"
#include "support/fake_wait_clock.h"
#include "support/savefile.h"

namespace test {

struct ScriptedRead {
  platform::NextFrame kind = platform::NextFrame::timeout;
  Frame frame;
};

// What one open of a device does.
struct CaptureScript {
  platform::OpenStatus open_status = platform::OpenStatus::opened;
  std::string savefile;  // when set, the session reads this savefile (and the fields below are unused)
  bool ethernet = true;
  platform::FilterResult filter_result = platform::FilterResult::installed;
  bool send_ok = true;
  std::deque<ScriptedRead> reads;  // then time-outs for ever
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
  std::string device;
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

  void add_devices(const std::vector<std::string>& names);

  platform::CaptureDeviceListing list_capture_devices() override { return listing; }
  platform::CaptureOpening open_capture(const std::string& device, int timeout_ms) override;
  bool open_query_socket() override;
  bool send_query(platform::Ipv4Address broadcast, rawlink::QueryKind kind) override;
  void close_query_socket() override { ++socket_close_count; }
  bool resolve_neighbour(platform::Ipv4Address ip, int wait_ms) override;
  platform::WaitClock& clock() override { return wait_clock; }

  FakeWaitClock wait_clock;  // records every pause
};

}  // namespace test
