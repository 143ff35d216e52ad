#pragma once
// The module's side of a setup-port connection, scripted: each readiness wait for reading
// takes the next step of the script (bytes, silence, a failed wait, would-block results);
// everything sent and every pause is recorded.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "maint/setup_stream.h"

namespace test {

struct StreamStep {
  enum Kind { bytes, silence, wait_error, would_block, receive_error } kind = bytes;
  std::string data;  // bytes: what the module sends
};

inline StreamStep shows(std::string text) { return {StreamStep::bytes, std::move(text)}; }
inline StreamStep shows_bytes(std::size_t count) { return {StreamStep::bytes, std::string(count, 'm')}; }
inline StreamStep silence() { return {StreamStep::silence, {}}; }
inline StreamStep fault(StreamStep::Kind kind) { return {kind, {}}; }

class ScriptedSetupStream : public maint::SetupStream {
 public:
  std::deque<StreamStep> script;  // once empty, every wait is silent
  std::string sent;
  std::vector<int> pauses_ms;

  maint::StreamWait wait_writable(int) override { return maint::StreamWait::ready; }
  maint::StreamWait wait_readable(int) override {
    if (script.empty() || script.front().kind == StreamStep::silence) {
      if (!script.empty()) script.pop_front();
      return maint::StreamWait::timeout;
    }
    if (script.front().kind == StreamStep::wait_error) {
      script.pop_front();
      return maint::StreamWait::error;
    }
    return maint::StreamWait::ready;
  }
  int send(std::span<const std::uint8_t> bytes) override {
    sent.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return static_cast<int>(bytes.size());
  }
  int receive(std::span<std::uint8_t> buffer) override {
    StreamStep step = script.front();
    script.pop_front();
    if (step.kind == StreamStep::would_block) return maint::stream_would_block;
    if (step.kind == StreamStep::receive_error) return -1;
    std::size_t n = std::min(step.data.size(), buffer.size());
    std::copy_n(step.data.begin(), n, buffer.begin());
    if (n < step.data.size()) script.push_front(shows(step.data.substr(n)));
    return static_cast<int>(n);
  }
  void sleep_ms(int milliseconds) override { pauses_ms.push_back(milliseconds); }
};

}  // namespace test
