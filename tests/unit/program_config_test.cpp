#include "platform/program_config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/config_file_report.h"
#include "platform/program_config_file.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"

namespace {

using platform::ConfigProblem;
using Kind = platform::ConfigProblemKind;

platform::ParsedConfig parse(const std::string& text) {
  return platform::parse_program_config({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

TEST(ProgramConfig, ReadsEveryKnownValue) {
  const auto parsed = parse(
      "\xEF\xBB\xBF; site of the plant\r\n"
      "[address-services]\r\n"
      "A = ip.example.org\r\n"
      "  c=10.0.0.7  \r\n"
      "D =\r\n"
      "# no B here\n"
      "[ Setup ]\n"
      "password = \" s3cret; #1 \"\n");
  EXPECT_TRUE(parsed.problems.empty());
  EXPECT_EQ(parsed.config.address_service_hosts,
            (std::array<std::string, 4>{"ip.example.org", "", "10.0.0.7", ""}));
  EXPECT_EQ(parsed.config.setup_password, " s3cret; #1 ");
}

TEST(ProgramConfig, ReportsWhatItCannotUseAndKeepsTheRest) {
  const auto parsed = parse(
      "stray = 1\n"
      "[address-services]\n"
      "A = a.example\n"
      "E = e.example\n"
      "B = not a host\n"
      "C = -.example..\n"
      "just words\n"
      "[setup\n"
      "[proxy]\n"
      "host = p.example\n"
      "[setup]\n"
      "password = one\n"
      "PASSWORD = two\n"
      "user = x\n"
      "a\x01 = b\n"
      "= nothing\n");
  EXPECT_EQ(parsed.config.address_service_hosts, (std::array<std::string, 4>{"a.example", "", "", ""}));
  EXPECT_EQ(parsed.config.setup_password, "two");
  const std::vector<ConfigProblem> expected = {
      {Kind::unknown_key, 1, "", "stray"},
      {Kind::unknown_key, 4, "address-services", "E"},
      {Kind::invalid_host_name, 5, "address-services", "B"},
      {Kind::invalid_host_name, 6, "address-services", "C"},
      {Kind::malformed_line, 7, "address-services", "just words"},
      {Kind::malformed_line, 8, "address-services", "[setup"},
      {Kind::unknown_section, 9, "proxy", ""},
      {Kind::duplicate_key, 13, "setup", "PASSWORD"},
      {Kind::unknown_key, 14, "setup", "user"},
      {Kind::malformed_line, 15, "setup", "a\x01 = b"},
      {Kind::malformed_line, 16, "setup", "= nothing"},
  };
  EXPECT_EQ(parsed.problems, expected);
}

TEST(ProgramConfig, HostNameRules) {
  for (const std::string& good : std::vector<std::string>{"a", "ip.example.org", "x-1.test", "192.0.2.1", std::string(63, 'a') + ".b"}) {
    EXPECT_TRUE(platform::is_host_name(good)) << good;
  }
  std::string too_long;
  while (too_long.size() <= platform::max_host_name_chars) too_long += "abcdefg.";
  too_long += "x";
  for (const std::string& bad : std::vector<std::string>{"", ".a", "a.", "a..b", "a b", "a_b", "http://a", std::string(64, 'a'), too_long}) {
    EXPECT_FALSE(platform::is_host_name(bad)) << bad;
  }
}

TEST(ProgramConfigFile, CandidatesInLookupOrder) {
  using platform::ConfigEnvironment;
  EXPECT_EQ(platform::config_file_candidates(ConfigEnvironment{"/x/my.conf", "/xdg", "/home/u"}, "/start"),
            (std::vector<std::string>{"/x/my.conf"}));
  EXPECT_EQ(platform::config_file_candidates(ConfigEnvironment{"", "/xdg/", "/home/u"}, "/start"),
            (std::vector<std::string>{"/start/quorvane.conf", "/xdg/quorvane/quorvane.conf",
                                      "/etc/quorvane/quorvane.conf"}));
  EXPECT_EQ(platform::config_file_candidates(ConfigEnvironment{std::nullopt, "relative", "/home/u"}, "/start/"),
            (std::vector<std::string>{"/start/quorvane.conf", "/home/u/.config/quorvane/quorvane.conf",
                                      "/etc/quorvane/quorvane.conf"}));
  EXPECT_EQ(platform::config_file_candidates(ConfigEnvironment{}, "/start"),
            (std::vector<std::string>{"/start/quorvane.conf", "/etc/quorvane/quorvane.conf"}));
}

TEST(ProgramConfigFile, TheFirstExistingFileIsUsedWhole) {
  test::TemporaryDirectory dir;
  test::write_file(dir.file("second.conf"), "[address-services]\nB = b.example\n");
  test::write_file(dir.file("third.conf"), "[setup]\npassword = p\n");
  const auto loaded = platform::load_program_config(
      {dir.file("missing.conf"), dir.file("second.conf"), dir.file("third.conf")}, false);
  EXPECT_EQ(loaded.path, dir.file("second.conf"));
  EXPECT_EQ(loaded.parsed.config.address_service_hosts[1], "b.example");
  EXPECT_FALSE(loaded.parsed.config.setup_password.has_value());
}

TEST(ProgramConfigFile, AFileThatCannotBeReadIsReportedAndNotPassedOver) {
  test::TemporaryDirectory dir;
  test::write_file(dir.file("fallback.conf"), "[address-services]\nA = a.example\n");
  test::write_file(dir.file("huge.conf"), std::string(platform::max_config_file_bytes + 1, '#'));
  ::mkdir(dir.file("directory.conf").c_str(), 0700);
  for (const auto& [path, is_explicit] : {std::pair{dir.file("typo.conf"), true},
                                          std::pair{dir.file("huge.conf"), false},
                                          std::pair{dir.file("directory.conf"), false}}) {
    const auto loaded = platform::load_program_config({path, dir.file("fallback.conf")}, is_explicit);
    EXPECT_EQ(loaded.path, path);
    EXPECT_EQ(loaded.parsed.config, platform::ProgramConfig{}) << path;
    EXPECT_EQ(loaded.parsed.problems, (std::vector<ConfigProblem>{{Kind::unreadable, 0, "", ""}})) << path;
  }
}

TEST(ConfigFileReport, OneWarningNamingTheFileAndEveryKey) {
  platform::LoadedConfig loaded{"/etc/quorvane/quorvane.conf", parse("[address-services]\nE = e\n[proxy]\nx = 1\n")};
  test::ScriptedView view;
  app::report_config_problems(loaded, view);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].caption, "错误提示");
  EXPECT_EQ(view.messages[0].icon, ui::Icon::warning);
  EXPECT_EQ(view.messages[0].text,
            "配置文件 /etc/quorvane/quorvane.conf:\n"
            "第2行: 未知的键 [address-services] E, 已忽略\n"
            "第3行: 未知的节 [proxy], 其中的键都被忽略");
}

TEST(ConfigFileReport, ListsAtMostTwentyProblems) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "bad line\n";
  const std::string shown = app::config_problems_text({"/x.conf", parse(text)});
  EXPECT_NE(shown.find("第20行"), std::string::npos);
  EXPECT_EQ(shown.find("第21行"), std::string::npos);
  EXPECT_TRUE(shown.ends_with("另有 5 处问题未列出"));
}

}  // namespace
