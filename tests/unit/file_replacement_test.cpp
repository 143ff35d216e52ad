// The settings and data files are replaced whole or not at all: the old file stays as it was
// until the new one is renamed over it. A failed write on a full disk is a LAN test (it needs
// a mount namespace); here the replacement's permissions and an uncommitted replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/replacing_file.h"
#include "app/settings_file.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"

namespace {

// A first file gets 0644 less the umask, as a created one would; a replacement the old
// file's permissions.
TEST(FileReplacement, PermissionsAreThoseOfACreatedOrTheOldFile) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  const std::string path = dir.file("qorvan24.cfg");
  auto mode_of = [&] {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 0777;
  };
  const mode_t saved_umask = ::umask(027);
  const int first = app::write_settings(path, app::Settings{}, view);
  ::umask(saved_umask);
  ASSERT_EQ(first, 0);
  EXPECT_EQ(mode_of(), 0640u);
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  ASSERT_EQ(app::write_settings(path, app::Settings{}, view), 0);
  EXPECT_EQ(mode_of(), 0604u);
}

// Until commit() the old file is untouched, so a process killed before the rename leaves it whole.
TEST(FileReplacement, AnUncommittedFileLeavesNothingBehind) {
  test::TemporaryDirectory dir;
  test::write_file(dir.file("kept"), "old");
  {
    app::ReplacingFile file(dir.file("kept"));
    ASSERT_TRUE(file.is_open());
    EXPECT_TRUE(file.write_text("new"));
  }
  EXPECT_EQ(test::read_file(dir.file("kept")), "old");
  auto entries = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)), 1);
}

}  // namespace
