// The setup-port primitives, login and key script against a scripted module.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "maint/setup_dialogue.h"

namespace {

// The module's side of a setup-port connection, scripted: each readiness wait for reading
// takes the next step of the script (bytes, silence, a failed wait, would-block results);
// everything sent and every pause is recorded.
struct StreamStep {
  enum Kind { bytes, silence, wait_error, would_block, receive_error } kind = bytes;
  std::string data;  // bytes: what the module sends
};

StreamStep shows(std::string text) { return {StreamStep::bytes, std::move(text)}; }
StreamStep shows_bytes(std::size_t count) { return {StreamStep::bytes, std::string(count, 'm')}; }
StreamStep silence() { return {StreamStep::silence, {}}; }
StreamStep fault(StreamStep::Kind kind) { return {kind, {}}; }

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

struct Session {
  ScriptedSetupStream stream;
  maint::SetupConnection connection{stream};
};

TEST(SetupConnection, ReceiveRetriesWouldBlockTwiceAndFailsOnTheThird) {
  Session s;
  s.stream.script = {fault(StreamStep::would_block), fault(StreamStep::would_block), shows("abc")};
  EXPECT_EQ(s.connection.receive(300), 3);
  EXPECT_EQ(s.stream.pauses_ms, (std::vector<int>{25, 25}));

  s.stream.script = {fault(StreamStep::would_block), fault(StreamStep::would_block), fault(StreamStep::would_block)};
  EXPECT_EQ(s.connection.receive(300), maint::receive_failed);
  s.stream.script = {fault(StreamStep::receive_error)};
  EXPECT_EQ(s.connection.receive(300), maint::receive_failed);
  s.stream.script = {fault(StreamStep::wait_error)};
  EXPECT_EQ(s.connection.receive(300), maint::receive_wait_failed);
  s.stream.script = {silence()};
  EXPECT_EQ(s.connection.receive(300), 0);
}

TEST(SetupConnection, ReceivesAtMostTheAskedSizeAndMatchesFiveCharacters) {
  Session s;
  s.stream.script = {shows(std::string(250, '-') + "Passw")};
  int r = s.connection.receive(300);
  EXPECT_EQ(r, 255);
  EXPECT_TRUE(s.connection.contains(r, "Password"));  // only "Passw" counts
  EXPECT_FALSE(s.connection.contains(r - 1, "Password"));
  EXPECT_FALSE(s.connection.contains(-7, "Password"));

  s.stream.script = {shows(std::string(120, 'x') + "Setup")};
  r = s.connection.receive(100);
  EXPECT_EQ(r, 100);
  EXPECT_FALSE(s.connection.contains(r, "Setup"));  // still waiting in the stream
  EXPECT_TRUE(s.connection.contains(s.connection.receive(100), "Setup"));
}

// After a greeting the menu must come in 1101 bytes. The password prompt answered, and a
// carriage return alone where none is asked, are the LAN's tests.
TEST(SetupLogin, NeedsAGreetingAndAMenuOf1101Bytes) {
  const struct {
    const char* name;
    std::vector<StreamStep> script;
    int expected;
  } cases[] = {
      {"one part of 1101", {shows("hi"), shows_bytes(1101)}, maint::login_menu_received},
      {"one part of 1100", {shows("hi"), shows_bytes(1100)}, maint::login_failed},
      // Under 800 in the first two parts, the third and a fourth part count too.
      {"four parts", {shows("hi"), shows_bytes(500), shows_bytes(200), shows_bytes(300), shows_bytes(101)},
       maint::login_menu_received},
      {"four parts one short", {shows("hi"), shows_bytes(500), shows_bytes(200), shows_bytes(300), shows_bytes(100)},
       maint::login_failed},
      {"failed third part", {shows("hi"), shows_bytes(900), shows_bytes(300), fault(StreamStep::receive_error)},
       maint::login_failed},
      {"failed second part", {shows("hi"), shows_bytes(1200), fault(StreamStep::wait_error)}, maint::login_failed},
      {"no greeting", {silence(), shows_bytes(2000)}, maint::login_nothing_came},
  };
  for (const auto& c : cases) {
    Session s;
    s.stream.script.assign(c.script.begin(), c.script.end());
    EXPECT_EQ(maint::setup_login(s.connection, "0000"), c.expected) << c.name;
    EXPECT_EQ(s.stream.sent, c.expected == maint::login_nothing_came ? "" : "\r") << c.name;
  }
}

TEST(SetupScript, ASilentModuleGetsEveryFallbackKey) {
  Session s;
  EXPECT_EQ(maint::setup_script(s.connection, "pw12", false), 0);
  EXPECT_EQ(s.stream.sent,
            "7\r"                                   // defaults
            "0\r"                                   // short answer: no '1'
            "\r\r\r\r"                              // four prompts, answer mode 0
            "Y"
            "0\r0\r0\r0\r"
            "0\r\r"                                 // no "telne": one more CR
            "Y"
            "pw12\r\r"                              // short answers: two CRs
            "1\r38400\r\r\r10050\r\r"
            "\r\r\r\r\r\r\r\r\r\r\r\r\r\r\r\r\r\r"  // 18 CRs, the menu never came back
            "6\r\r\r\r\r\r"                         // last answer short: no sixth CR
            "N"
            "\r\r\r"
            "9\r");
  EXPECT_EQ(s.stream.pauses_ms, (std::vector<int>{30, 20, 5, 3, 3, 3, 20}));
}

TEST(SetupScript, ATalkativeModuleTakesEveryOtherBranch) {
  Session s;
  s.stream.script = {
      shows_bytes(150),                          // 1: the defaults answer, no second read
      shows_bytes(41), silence(),                // 2: over 40 bytes: '1'
      silence(), silence(), silence(), silence(),  // 3
      silence(),                                 // 4
      silence(), silence(), silence(), silence(),  // 5
      shows("change telnet"),                    // 6: no CR
      silence(),                                 // 7
      shows_bytes(60),                           // 8: no CR
      silence(),                                 // 9
      silence(), silence(), silence(),           // 10
      silence(), silence(),                      // 11
      shows_bytes(101),                          // 12: the menu came back at the first CR
      silence(),                                 // 13
      silence(), silence(), silence(), silence(), shows_bytes(36),  // 14: last over 35: a sixth CR
      silence(),
      shows("Setup"),                            // 15: 'Y'
  };
  EXPECT_EQ(maint::setup_script(s.connection, "pw12", true), 0);
  EXPECT_EQ(s.stream.sent,
            "7\r"
            "0\r1\r"
            "0\r0\r0\r0\r"  // answer mode 1
            "Y"
            "0\r0\r0\r0\r"
            "0\r"
            "Y"
            "pw12"
            "1\r38400\r\r\r10050\r\r"
            "\r"
            "6\r\r\r\r\r\r\r"
            "NY"
            "\r\r\r"
            "9\r");
  EXPECT_EQ(s.stream.pauses_ms, (std::vector<int>{30, 5, 3, 3, 3, 20}));
}

TEST(SetupScript, StopsAtTheFirstFailedReceive) {
  Session s;
  s.stream.script = {shows_bytes(150), fault(StreamStep::receive_error)};
  EXPECT_EQ(maint::setup_script(s.connection, "pw12", false), maint::script_receive_failed);
  EXPECT_EQ(s.stream.sent, "7\r0\r");

  Session last;  // a silent run makes 53 receives; the last one, after '9', fails
  last.stream.script.assign(52, silence());
  last.stream.script.push_back(fault(StreamStep::wait_error));
  EXPECT_EQ(maint::setup_script(last.connection, "pw12", false), maint::script_receive_failed);
  EXPECT_TRUE(last.stream.sent.ends_with("9\r"));
}

}  // namespace
