// The settings and data files on a full file system (a small tmpfs in a private mount
// namespace of the test thread, so it needs root): the failed write is told, and the
// previous files stay readable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/data_file.h"
#include "app/settings_file.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"
#include "support/virtual_lan.h"

namespace {

// Takes every free byte of the file system that holds path.
void fill(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'f');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  while (::write(fd, block.data(), 1) > 0) {
  }
  EXPECT_EQ(errno, ENOSPC);
  ::close(fd);
}

TEST(FullDiskLan, TheOldSettingsAndDataFileStayReadable) {
  test::TemporaryDirectory dir;
  test::PrivateMountScope mounts;
  ASSERT_TRUE(mounts.ok()) << mounts.error();
  ASSERT_EQ(::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=65536"), 0) << std::strerror(errno);
  test::ScriptedView view;

  app::Settings old_settings;
  old_settings.refresh_period_ms = 2000;
  const std::string settings_path = dir.file("qorvan24.cfg");
  ASSERT_EQ(app::write_settings(settings_path, old_settings, view), 0);
  std::tm minute{};
  minute.tm_year = 116;
  const std::vector<std::string> old_modules(300, "old module line");
  ASSERT_TRUE(app::write_data_file(dir.path(), minute, old_modules, {}, view));
  const std::string data_path = dir.file(app::data_file_name(minute));
  const std::string old_snapshot = test::read_file(data_path);
  fill(dir.file("filler"));

  app::Settings new_settings = old_settings;
  new_settings.refresh_period_ms = 3000;
  new_settings.directory_block.assign(200, 'd');
  EXPECT_EQ(app::write_settings(settings_path, new_settings, view), app::settings_header_not_written);
  // A larger snapshot than the one on the disk: rewriting it in place would run out of space.
  EXPECT_FALSE(app::write_data_file(dir.path(), minute, std::vector<std::string>(600, "new module line"), {}, view));

  app::Settings read;
  EXPECT_EQ(app::read_settings(settings_path, read, view), 0);
  EXPECT_EQ(read, old_settings);
  EXPECT_EQ(test::read_file(data_path), old_snapshot);
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text, "write cfg err!");
  EXPECT_EQ(view.messages[1].text, "write file err1");
}

}  // namespace
