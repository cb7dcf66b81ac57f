#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "posix_temp_dir.h"

namespace {

using posix_test::TempDir;

platform::UserFiles& Files() { return platform::SystemUserFiles(); }

std::string Scan(const std::string& path, platform::FileText* result = nullptr) {
  std::string text;
  const platform::FileText file =
      Files().ScanFile(path, [&](std::string_view piece) { text.append(piece); });
  if (result) *result = file;
  return text;
}

// A journal's lock is its run's life: held while the journal is open,
// never taken twice, gone with the process however it ends; a journal
// never replaces a file, and is removed only when its lock is free.
TEST(PosixUserFiles, AJournalIsLockedForItsLifeAndNoLonger) {
  using platform::JournalState;
  TempDir dir;
  const std::string path = dir.Path("runs/a.run");
  platform::OpenedJournal own = Files().CreateJournal(path);
  ASSERT_EQ(own.state, JournalState::kOpen);
  ASSERT_TRUE(own.file->Append("one\n") && own.file->Sync());
  EXPECT_EQ(Files().CreateJournal(path).state, JournalState::kExists);
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kLocked);
  EXPECT_FALSE(Files().RemoveJournal(path));
  own.file.reset();
  {
    platform::OpenedJournal again = Files().OpenJournal(path);
    ASSERT_EQ(again.state, JournalState::kOpen);
    ASSERT_TRUE(again.file->Append("two\n"));
  }
  EXPECT_EQ(dir.ReadFile("runs/a.run"), "one\ntwo\n");
  // Killed while it holds the lock: the lock goes with it.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    platform::OpenedJournal held = Files().OpenJournal(path);
    const char state = held.state == JournalState::kOpen ? 'y' : 'n';
    if (write(ready[1], &state, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char state = 0;
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  EXPECT_EQ(state, 'y');
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kLocked);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kOpen);
  EXPECT_TRUE(Files().RemoveJournal(path));
  EXPECT_EQ(Files().OpenJournal(path).state, JournalState::kFailed);
  close(ready[0]);
  close(ready[1]);
  // Removed, or replaced, while its run goes on: it cannot be written.
  for (const bool replaced : {false, true}) {
    platform::OpenedJournal going = Files().CreateJournal(path);
    ASSERT_EQ(going.state, JournalState::kOpen);
    ASSERT_EQ(unlink(path.c_str()), 0);
    if (replaced) dir.WriteFile("runs/a.run", "");
    EXPECT_FALSE(going.file->Append("three\n") && going.file->Sync()) << replaced;
    going.file.reset();
    unlink(path.c_str());
  }
}

// Only a regular file is read, never through a link, and never waited on.
TEST(PosixUserFiles, OnlyARegularFileIsRead) {
  TempDir dir;
  dir.WriteFile("plain", "text");
  // Past the most a user file holds (sparse: it takes no room).
  dir.WriteFile("huge", "");
  ASSERT_EQ(truncate(dir.Path("huge").c_str(), platform::kUserFileCap + 1), 0);
  ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink(dir.Path("plain").c_str(), dir.Path("link").c_str()), 0);
  struct Case {
    std::string path;
    bool exists, read, too_big = false;
  } cases[] = {
      {dir.Path("plain"), true, true},
      {dir.Path("missing"), false, false},
      {dir.Path("fifo"), true, false},
      {dir.Path("link"), true, false},
      {"/dev/zero", true, false},
      {dir.Dir(), true, false},
      {dir.Path("huge"), true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    platform::FileText file;
    Scan(c.path, &file);
    EXPECT_EQ(file.exists, c.exists);
    EXPECT_EQ(file.read, c.read);
    EXPECT_EQ(file.too_big, c.too_big);
  }
  // Nor is one appended to through a link.
  EXPECT_EQ(Files().OpenJournal(dir.Path("link")).state,
            platform::JournalState::kFailed);
  EXPECT_EQ(dir.ReadFile("plain"), "text");
}

// The history is kept only in a folder and a file of the user's own that no
// one else may write.
TEST(PosixUserFiles, TheHistoryMustBeTheUsersOwn) {
  TempDir dir;
  const char* saved = getenv("XDG_STATE_HOME");
  const std::string saved_value = saved ? saved : "";
  setenv("XDG_STATE_HOME", dir.Path("state").c_str(), 1);
  const std::string path =
      Files().UserFilePath(platform::UserFile::kRuns) + "r.run";
  {
    platform::OpenedJournal made = Files().CreateJournal(path);
    ASSERT_EQ(made.state, platform::JournalState::kOpen);
    ASSERT_TRUE(made.file->Append("h\n"));
  }
  platform::FileText file;
  EXPECT_EQ(Scan(path, &file), "h\n");
  const std::string folder = dir.Path("state/namewisp/runs");
  struct Case {
    const char* what;
    mode_t folder_mode, file_mode;
    bool usable;
  } cases[] = {
      {"own", 0700, 0600, true},
      {"folder open to others", 0777, 0600, false},
      {"file open to the group", 0700, 0620, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    chmod(folder.c_str(), c.folder_mode);
    chmod(path.c_str(), c.file_mode);
    Scan(path, &file);
    EXPECT_EQ(file.read, c.usable);
    EXPECT_EQ(Files().OpenJournal(path).state == platform::JournalState::kOpen,
              c.usable);
  }
  chmod(folder.c_str(), 0700);
  if (saved) {
    setenv("XDG_STATE_HOME", saved_value.c_str(), 1);
  } else {
    unsetenv("XDG_STATE_HOME");
  }
}

// A folder deeper than the system takes in one path: its absolute path is
// told, and a record of it can be followed back.
TEST(PosixUserFiles, AFolderPastTheLongestPathIsToldAndReached) {
  TempDir dir;
  const std::string step(200, 'd');
  const int depth = PATH_MAX / 200 + 2;
  std::string absolute;
  {
    posix_test::InDirectory in(dir.Dir());
    char real[PATH_MAX];
    ASSERT_NE(realpath(".", real), nullptr);
    absolute = std::string(real) + "/";
    for (int i = 0; i < depth; ++i) {
      ASSERT_EQ(mkdir(step.c_str(), 0700), 0);
      ASSERT_EQ(chdir(step.c_str()), 0);
      absolute += step + "/";
    }
    const int fd = open("f_1.txt", O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
    platform::FileSystem& folders = platform::SystemFileSystem();
    EXPECT_EQ(folders.DescribeFolder({}).absolute, absolute);
    ASSERT_GT(absolute.size(), static_cast<std::size_t>(PATH_MAX));
    const platform::Folder far{absolute, nullptr};
    const platform::Listing listing =
        folders.ListFolder(absolute, platform::kEveryEntry);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_TRUE(folders.Move(far, "f_1.txt", far, "f 1.txt").ok());
    EXPECT_TRUE(folders.Stat(far, "f 1.txt").exists);
    // Away, deepest first: a path this long is too long to remove by.
    unlink("f 1.txt");
    for (int i = 0; i < depth; ++i) {
      ASSERT_EQ(chdir(".."), 0);
      rmdir(step.c_str());
    }
  }
}

}  // namespace
