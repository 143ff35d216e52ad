// The settings and data files are replaced whole or not at all: a directory where no new
// file can be made, and a process killed between writing and renaming, leave the previous
// file readable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <filesystem>

#include "app/data_file.h"
#include "app/replacing_file.h"
#include "app/settings_file.h"
#include "support/scripted_view.h"
#include "support/temporary_directory.h"

namespace {

app::Settings settings_with_period(std::uint16_t period_ms) {
  app::Settings settings;
  settings.refresh_period_ms = period_ms;
  settings.directory_block.assign(40, 'p');
  return settings;
}

std::size_t entries_in(const std::string& directory) {
  auto entries = std::filesystem::directory_iterator(directory);
  return static_cast<std::size_t>(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)));
}

// Permission checks apply to this thread even when it runs as root: the capabilities that
// override them are dropped from its effective set for the scope's lifetime.
class FilePermissionsApply {
 public:
  FilePermissionsApply() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    EXPECT_EQ(::syscall(SYS_capget, &header_, saved_), 0);
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    EXPECT_EQ(::syscall(SYS_capset, &header_, reduced), 0);
  }
  ~FilePermissionsApply() { EXPECT_EQ(::syscall(SYS_capset, &header_, saved_), 0); }

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
};

TEST(FileReplacement, AReadOnlyDirectoryKeepsTheOldFiles) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  const std::string settings_path = dir.file("qorvan24.cfg");
  ASSERT_EQ(app::write_settings(settings_path, settings_with_period(2000), view), 0);
  std::tm minute{};
  minute.tm_year = 116;
  const std::string data_path = dir.file(app::data_file_name(minute));
  test::write_file(data_path, "old snapshot");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  {
    FilePermissionsApply permissions;
    EXPECT_EQ(app::write_settings(settings_path, settings_with_period(3000), view), app::settings_not_created);
    EXPECT_FALSE(app::write_data_file(dir.path(), minute, {"new"}, {"lines"}, view));
  }
  ::chmod(dir.path().c_str(), 0755);
  app::Settings read;
  EXPECT_EQ(app::read_settings(settings_path, read, view), 0);
  EXPECT_EQ(read, settings_with_period(2000));
  EXPECT_EQ(test::read_file(data_path), "old snapshot");
  ASSERT_EQ(view.messages.size(), 1u);  // the settings failure is the main window's to tell
  EXPECT_EQ(view.messages[0].text, "save file err");
  EXPECT_EQ(entries_in(dir.path()), 2u);
}

// The calling process is killed by the kernel at its first rename.
void die_at_rename() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_rename, 3, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_renameat, 2, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_renameat2, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
    ::_exit(3);
}

TEST(FileReplacement, AKillBetweenWriteAndRenameKeepsTheOldSettings) {
  test::TemporaryDirectory dir;
  test::ScriptedView view;
  const std::string path = dir.file("qorvan24.cfg");
  ASSERT_EQ(app::write_settings(path, settings_with_period(2000), view), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    die_at_rename();
    test::ScriptedView child_view;
    ::_exit(app::write_settings(path, settings_with_period(3000), child_view) == 0 ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS) << "the writer was not stopped at a rename";
  app::Settings read;
  EXPECT_EQ(app::read_settings(path, read, view), 0);
  EXPECT_EQ(read, settings_with_period(2000));

  // The next run writes over what the killed one left.
  EXPECT_EQ(app::write_settings(path, settings_with_period(4000), view), 0);
  EXPECT_EQ(app::read_settings(path, read, view), 0);
  EXPECT_EQ(read, settings_with_period(4000));
  EXPECT_TRUE(view.messages.empty());
}

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
  const int first = app::write_settings(path, settings_with_period(2000), view);
  ::umask(saved_umask);
  ASSERT_EQ(first, 0);
  EXPECT_EQ(mode_of(), 0640u);
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  ASSERT_EQ(app::write_settings(path, settings_with_period(3000), view), 0);
  EXPECT_EQ(mode_of(), 0604u);
}

TEST(FileReplacement, AnUncommittedFileLeavesNothingBehind) {
  test::TemporaryDirectory dir;
  test::write_file(dir.file("kept"), "old");
  {
    app::ReplacingFile file(dir.file("kept"));
    ASSERT_TRUE(file.is_open());
    EXPECT_TRUE(file.write_text("new"));
  }
  EXPECT_EQ(test::read_file(dir.file("kept")), "old");
  EXPECT_EQ(entries_in(dir.path()), 1u);
}

}  // namespace
