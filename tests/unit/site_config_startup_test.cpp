// Start-up reads the site configuration file: its values reach the program and what it
// cannot use is told once, after the missing settings file, whose defaults hold.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scripted_program.h"
#include "ui/texts.h"

namespace {

TEST(SiteConfigAtStartUp, TheStartDirectoryFileIsUsedAndItsUnknownKeysToldOnce) {
  test::ScriptedProgram p;
  test::write_file(p.directory.file("quorvane.conf"),
                   "[address-services]\nA = a.example\nZ = z\n[setup]\npassword = pw\n[proxy]\nx = 1\n");
  ::mkdir(p.directory.file("quorvane").c_str(), 0700);
  test::write_file(p.directory.file("quorvane/quorvane.conf"), "[address-services]\nB = b.example\n");
  ASSERT_TRUE(p.window.create());
  EXPECT_EQ(p.context.config.address_service_hosts, (std::array<std::string, 4>{"a.example", "", "", ""}));
  EXPECT_EQ(p.context.config.setup_password, "pw");
  ASSERT_EQ(p.view.messages.size(), 2u);
  EXPECT_EQ(p.view.messages[0].text, ui::texts::settings_read_failed);
  EXPECT_EQ(p.view.messages[0].caption, ui::texts::caption_error);
  EXPECT_EQ(p.context.settings, app::Settings{});
  // One warning naming the file and every key.
  EXPECT_EQ(p.view.messages[1].text, "配置文件 " + p.directory.file("quorvane.conf") +
                                         ":\n第3行: 未知的键 [address-services] Z, 已忽略"
                                         "\n第6行: 未知的节 [proxy], 其中的键都被忽略");
  EXPECT_EQ(p.view.messages[1].caption, "错误提示");
  EXPECT_EQ(p.view.messages[1].icon, ui::Icon::warning);
}

}  // namespace
