#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "support/failing_sink.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// baud 5, data file on, setup answer 1, refresh 0x1234 ms, port 0xABCD, counter 0x01020304.
Bytes header(std::uint16_t block_length) {
  return {0x01, 0x05, 0x01, 0x00, 0x01, 0x00, 0x34, 0x12, 0xCD, 0xAB, 0x00, 0x00,
          0x04, 0x03, 0x02, 0x01, static_cast<std::uint8_t>(block_length), static_cast<std::uint8_t>(block_length >> 8),
          0x00, 0x00};
}

app::Settings header_values() {
  app::Settings s;
  s.baud_index = 5;
  s.data_file_saving = 1;
  s.setup_answer_mode = 1;
  s.refresh_period_ms = 0x1234;
  s.expected_port = 0xABCD;
  s.change_record_counter = 0x01020304;
  return s;
}

Bytes with_block(Bytes bytes, std::size_t count, std::uint8_t fill = 'd') {
  bytes.insert(bytes.end(), count, fill);
  return bytes;
}

std::string as_string(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A missing file (the window tells it: SiteConfigAtStartUp) and one that cannot be created
// (MainWindow.ClosingWritesTheSettingsOnceAndReportsAFailure) are the main window's tests.
// The file round trip below checks the encoding of every field against the bytes of header().
TEST(SettingsFile, DecodeIgnoresModeAndReservedBytesAndEncodingCutsTheBlockAt260Bytes) {
  Bytes noisy = with_block(header(4), 4);
  for (std::size_t offset : {0, 3, 5, 10, 11, 18, 19}) noisy[offset] = 0xEE;
  auto decoded = app::decode_settings(noisy);
  ASSERT_EQ(decoded.status, app::SettingsDecodeStatus::ok);
  app::Settings expected = header_values();
  expected.directory_block = {'d', 'd', 'd', 'd'};
  EXPECT_EQ(decoded.settings, expected);
  expected.directory_block.assign(300, 'x');
  EXPECT_EQ(app::encode_settings(expected), with_block(header(260), 260, 'x'));
}

TEST(SettingsFile, FileRoundTripIsByteForByte) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  for (std::size_t block : {0, 1, 17, 260}) {
    SCOPED_TRACE(block);
    const Bytes original = with_block(header(static_cast<std::uint16_t>(block)), block);
    test::write_file(dir.file("in.cfg"), as_string(original));
    app::Settings settings;
    ASSERT_EQ(app::read_settings(dir.file("in.cfg"), settings, view), 0);
    ASSERT_EQ(app::write_settings(dir.file("out.cfg"), settings, view), 0);
    EXPECT_EQ(test::read_file(dir.file("out.cfg")), as_string(original));
  }
  EXPECT_TRUE(view.messages.empty());
}

// Only the basic settings dialog can set the period, to 1000..10000 ms; a file holding
// anything else is held to that range, so that 0 cannot run the cycles back to back.
TEST(SettingsFile, RefreshPeriodIsHeldToTheDialogsRange) {
  const std::pair<std::uint16_t, std::uint16_t> periods[] = {
      {0, 1000}, {999, 1000}, {1000, 1000}, {10000, 10000}, {10001, 10000}, {0xFFFF, 10000}};
  for (const auto& [stored, used] : periods) {
    Bytes file = header(0);
    file[6] = static_cast<std::uint8_t>(stored);
    file[7] = static_cast<std::uint8_t>(stored >> 8);
    EXPECT_EQ(app::decode_settings(file).settings.refresh_period_ms, used) << stored;
  }
}

// A header cut short leaves the settings as they were and says nothing; a bad block length
// keeps the header's values without a block and is told.
TEST(SettingsFile, ShortHeadersAndDirectoryBlockLengths) {
  struct Case {
    const char* what;
    Bytes file;
    int status;
    std::size_t block_bytes;
    bool header_read = true;
  };
  const Bytes full = header(0);
  const Case cases[] = {
      {"empty", {}, -2, 0, false},
      {"header of 19 bytes", Bytes(full.begin(), full.begin() + 19), -2, 0, false},
      {"negative -1", with_block(header(0xFFFF), 10), -2, 0},
      {"short block", with_block(header(5), 4), -2, 0},
      {"above 260", with_block(header(261), 261), -2, 0},
      {"exactly 260", with_block(header(260), 260), 0, 260},
      {"bytes after the block", with_block(header(3), 9), 0, 3},
  };
  test::TemporaryDirectory dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::write_file(dir.file("block.cfg"), as_string(c.file));
    test::ScriptedView view;
    app::Settings settings;
    settings.directory_block = {'o', 'l', 'd'};
    const app::Settings before = settings;
    EXPECT_EQ(app::read_settings(dir.file("block.cfg"), settings, view), c.status);
    app::Settings expected = header_values();
    expected.directory_block.assign(c.block_bytes, 'd');
    EXPECT_EQ(settings, c.header_read ? expected : before);
    if (c.status == 0 || !c.header_read) {
      EXPECT_TRUE(view.messages.empty());
    } else {
      ASSERT_EQ(view.texts(), std::vector<std::string>{"read file path1 err"});
      EXPECT_EQ(view.messages[0].caption, "ERROR!");
      EXPECT_EQ(view.messages[0].buttons, ui::Buttons::ok);
    }
  }
}

TEST(SettingsFile, ADirectoryInPlaceOfTheFileIsLeftAlone) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  EXPECT_EQ(app::write_settings(dir.path(), app::Settings{}, view), -1);
  EXPECT_TRUE(view.messages.empty());
}

// A header that cannot be written ("write cfg err!") is FullDiskLan's.
TEST(SettingsFile, EachWriteStageReportsItsFailure) {
  struct Case {
    int fail_at;
    std::size_t block_bytes;
    int status;
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {2, 8, -3, "write path err"},
      {2, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "fail at " << c.fail_at << ", block " << c.block_bytes);
    app::Settings settings = header_values();
    settings.directory_block.assign(c.block_bytes, 'd');
    test::FailingSink sink(c.fail_at);
    test::ScriptedView view;
    EXPECT_EQ(app::write_settings(sink, settings, view), c.status);
    if (c.message == nullptr) {
      EXPECT_TRUE(view.messages.empty());
      EXPECT_EQ(sink.written, as_string(header(0)));
    } else {
      ASSERT_EQ(view.texts(), std::vector<std::string>{c.message});
      EXPECT_EQ(view.messages[0].caption, "ERROR!");
      EXPECT_EQ(sink.writes, c.fail_at);
    }
  }
}

}  // namespace
