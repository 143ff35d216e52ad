// What a module's setup port sends, read by the login and the key script: the input is cut
// into chunks, each led by one byte (0: silence, 1: a failed wait, 2: would block, else the
// length of the bytes that follow). Nothing reads out of bounds, and the results are the
// defined codes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "maint/presence_frames.h"
#include "maint/setup_dialogue.h"

namespace {

class FuzzedStream : public maint::SetupStream {
 public:
  explicit FuzzedStream(std::span<const std::uint8_t> input) : input_(input) {}

  maint::StreamWait wait_writable(int) override { return maint::StreamWait::ready; }
  maint::StreamWait wait_readable(int) override {
    if (input_.empty()) return maint::StreamWait::timeout;
    const std::uint8_t lead = input_[0];
    if (lead == 0 || lead == 1) {
      input_ = input_.subspan(1);
      return lead == 0 ? maint::StreamWait::timeout : maint::StreamWait::error;
    }
    return maint::StreamWait::ready;
  }
  int send(std::span<const std::uint8_t> bytes) override { return static_cast<int>(bytes.size()); }
  int receive(std::span<std::uint8_t> buffer) override {
    if (input_.empty()) return 0;
    const std::uint8_t lead = input_[0];
    input_ = input_.subspan(1);
    if (lead == 2) return maint::stream_would_block;
    const std::size_t n = std::min({static_cast<std::size_t>(lead), input_.size(), buffer.size()});
    std::copy_n(input_.begin(), n, buffer.begin());
    input_ = input_.subspan(n);
    return static_cast<int>(n);
  }
  void sleep_ms(int) override {}

 private:
  std::span<const std::uint8_t> input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  maint::is_presence_answer(input, maint::MacTail{0x12, 0x34});

  FuzzedStream login_stream(input);
  maint::SetupConnection login_connection(login_stream);
  const int login = maint::setup_login(login_connection, maint::default_setup_password);
  if (login != maint::login_menu_received && login != maint::login_nothing_came && login != maint::login_failed)
    std::abort();

  FuzzedStream script_stream(input);
  maint::SetupConnection script_connection(script_stream);
  const int script = maint::setup_script(script_connection, maint::default_setup_password, size % 2 == 1);
  if (script != 0 && script != maint::script_receive_failed) std::abort();
  return 0;
}
