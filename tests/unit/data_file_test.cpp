#include "app/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/failing_sink.h"
#include "support/fake_wait_clock.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"

namespace {

using test::local_time;

const std::string module_header = "SN --- IP SETTING----------------------------------------\r\n";
const std::string data_header = "\r\nSN ------------- DATA -----------------------------------\r\n";

const std::vector<std::string> modules = {"  1 -- 192.168.  1. 50", "  2 -- 192.168.  1. 51"};
const std::vector<std::string> data = {"  1 ---- T=23.5", "  2 ---- H=40.1"};
const std::string full_file = module_header + "  1 -- 192.168.  1. 50\r\n  2 -- 192.168.  1. 51\r\n" + data_header +
                              "  1 ---- T=23.5\r\n  2 ---- H=40.1\r\n";

TEST(DataFile, NameComesFromTheLocalMinute) {
  EXPECT_EQ(app::data_file_name(local_time(2016, 7, 20, 14, 5, 59)), "2016_07_20_14_05.txt");
  EXPECT_EQ(app::data_file_name(local_time(999, 3, 4, 5, 6)), " 999_03_04_05_06.txt");
}

TEST(DataFile, SameMinuteOverwritesNextMinuteAddsAFile) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  ASSERT_TRUE(app::write_data_file(dir.path(), local_time(2016, 7, 20, 14, 5, 1), modules, data, view));
  // An empty line keeps its CR LF; an empty list is its header alone.
  ASSERT_TRUE(app::write_data_file(dir.path(), local_time(2016, 7, 20, 14, 5, 58), {""}, {}, view));
  EXPECT_EQ(test::read_file(dir.file("2016_07_20_14_05.txt")), module_header + "\r\n" + data_header);
  ASSERT_TRUE(app::write_data_file(dir.path(), local_time(2016, 7, 20, 14, 6), modules, data, view));
  EXPECT_EQ(test::read_file(dir.file("2016_07_20_14_06.txt")), full_file);
  auto entries = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)), 2);
  EXPECT_TRUE(view.messages.empty());
}

TEST(DataFile, UncreatableFileShowsSaveFileErr) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  EXPECT_FALSE(app::write_data_file(dir.file("missing"), local_time(2016, 7, 20, 14, 5), modules, data, view));
  ASSERT_EQ(view.texts(), std::vector<std::string>{"save file err"});
  EXPECT_EQ(view.messages[0].caption, "ERROR!");
  EXPECT_EQ(view.messages[0].buttons, ui::Buttons::ok);
}

TEST(DataFile, EachPieceThatFailsStopsWithItsStageMessage) {
  // Pieces: header, two module lines, data header, two data lines.
  struct Case {
    int fail_at;
    const char* message;
    std::string written_before;
  };
  const Case cases[] = {
      {1, "write file err1", ""},
      {2, "write file err2", module_header},
      {4, "write file err3", module_header + modules[0] + "\r\n" + modules[1] + "\r\n"},
      {5, "write file err4", full_file.substr(0, full_file.size() - data[0].size() - data[1].size() - 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fail_at);
    test::FailingSink sink(c.fail_at);
    test::ScriptedView view;
    EXPECT_FALSE(app::write_data_file(sink, modules, data, view));
    EXPECT_EQ(sink.writes, c.fail_at);
    EXPECT_EQ(sink.written, c.written_before);
    ASSERT_EQ(view.texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(view.messages[0].caption, "ERROR!");
  }
}

}  // namespace
