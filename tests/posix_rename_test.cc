#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_system.h"
#include "platform/posix/rename.h"
#include "posix_temp_dir.h"

namespace {

using platform::Failure;
using posix_test::InDirectory;
using posix_test::TempDir;
namespace posix = platform::posix;

int OpenDir(const TempDir& dir) {
  return open(dir.Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Failure Rename(const std::string& dir, const std::string& from,
               const std::string& to) {
  const platform::Folder folder{dir, nullptr};
  return platform::SystemFileSystem().Move(folder, from, folder, to).failure;
}

TEST(PosixRename, RenamesOnlyWhereTheNewNameIsFree) {
  TempDir dir;
  dir.WriteFile("Some.Movie.2010.avi", "movie");
  dir.WriteFile("a b.txt", "first");
  dir.WriteFile("a c.txt", "second");
  dir.MakeDir("one");
  dir.MakeDir("two");
  dir.WriteFile("two/inside", "x");
  dir.WriteFile("h", "same");
  ASSERT_EQ(link(dir.Path("h").c_str(), dir.Path("h2").c_str()), 0);
  EXPECT_EQ(Rename(dir.Dir(), "Some.Movie.2010.avi", "Some Movie (2010).avi"),
            Failure::kNone);
  EXPECT_EQ(dir.ReadFile("Some Movie (2010).avi"), "movie");
  EXPECT_FALSE(dir.Exists("Some.Movie.2010.avi"));
  // Files, directories and hard links to one file are never replaced.
  EXPECT_EQ(Rename(dir.Dir(), "a b.txt", "a c.txt"), Failure::kExists);
  EXPECT_EQ(Rename(dir.Dir(), "one", "two"), Failure::kExists);
  EXPECT_EQ(Rename(dir.Dir(), "h", "h2"), Failure::kExists);
  EXPECT_EQ(dir.ReadFile("a b.txt"), "first");
  EXPECT_EQ(dir.ReadFile("a c.txt"), "second");
  EXPECT_EQ(dir.ReadFile("two/inside"), "x");
  EXPECT_TRUE(dir.Exists("one") && dir.Exists("h") && dir.Exists("h2"));
}

TEST(PosixRename, FallbackWithoutRenameNoReplace) {
  TempDir dir;
  dir.WriteFile("f", "file");
  dir.WriteFile("g", "other");
  dir.MakeDir("d");
  dir.MakeDir("e");
  const int fd = OpenDir(dir);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "f", "g"), EEXIST);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "d", "e"), EEXIST);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "f", "d"), EEXIST);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "missing", "x"), ENOENT);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "f", "f2"), 0);
  EXPECT_EQ(posix::RenameNoReplaceFallback(fd, "d", "d2"), 0);
  close(fd);
  EXPECT_EQ(dir.ReadFile("f2"), "file");
  EXPECT_EQ(dir.ReadFile("g"), "other");
  EXPECT_FALSE(dir.Exists("f"));
  EXPECT_TRUE(dir.Exists("d2"));
  EXPECT_FALSE(dir.Exists("d"));
  EXPECT_TRUE(dir.Exists("e"));
}

TEST(PosixRename, FailureKinds) {
  TempDir dir;
  dir.WriteFile("a", "a");
  const std::string longest(255, 'n');
  struct Case {
    std::string directory, old_name, new_name;
    Failure failure;
  } cases[] = {
      {dir.Dir(), "a", longest, Failure::kNone},
      // The file system's limit, and a name past every limit.
      {dir.Dir(), longest, std::string(256, 'n'), Failure::kTooLong},
      {dir.Dir(), longest, std::string(400, 'n'), Failure::kTooLong},
      {dir.Dir(), "missing", "new", Failure::kNotFound},
      {dir.Dir() + "nodir/", "a", "b", Failure::kNotFound},
      {dir.Dir(), longest, std::string("b\0c", 3), Failure::kOther},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rename(c.directory, c.old_name, c.new_name), c.failure)
        << c.new_name.size();
  }
  EXPECT_TRUE(dir.Exists(longest));
}

TEST(PosixRename, ActsInTheGivenDirectoryOrTheCurrentOne) {
  TempDir dir;
  dir.MakeDir("sub");
  dir.WriteFile("sub/x.txt", "in sub");
  dir.WriteFile("x.txt", "outside");
  EXPECT_EQ(Rename(dir.Dir() + "sub/", "x.txt", "y.txt"), Failure::kNone);
  EXPECT_EQ(dir.ReadFile("sub/y.txt"), "in sub");
  EXPECT_EQ(dir.ReadFile("x.txt"), "outside");
  EXPECT_FALSE(dir.Exists("y.txt"));
  Failure here;
  {
    InDirectory in(dir.Dir());
    here = Rename("", "x.txt", "there");
  }
  EXPECT_EQ(here, Failure::kNone);
  EXPECT_EQ(dir.ReadFile("there"), "outside");
}

TEST(PosixRename, RenamesDirectoriesSymlinksAndAnyBytes) {
  TempDir dir;
  dir.MakeDir("Some.Folder");
  dir.WriteFile("Some.Folder/inside", "i");
  ASSERT_EQ(symlink("Some.Folder", dir.Path("the.link").c_str()), 0);
  const std::string old_name = "bad\xff\xfe.name.avi";
  const std::string new_name = "bad\xff\xfe name.avi";
  dir.WriteFile(old_name, "b");
  EXPECT_EQ(Rename(dir.Dir(), "the.link", "the link"), Failure::kNone);
  EXPECT_EQ(Rename(dir.Dir(), "Some.Folder", "Some Folder"), Failure::kNone);
  EXPECT_EQ(Rename(dir.Dir(), old_name, new_name), Failure::kNone);
  EXPECT_EQ(dir.ReadFile("Some Folder/inside"), "i");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("the link")));
  EXPECT_EQ(dir.ReadFile(new_name), "b");
}

TEST(PosixRename, ReadOnlyDirectoryIsPermissionDenied) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may write into a read-only directory";
  }
  TempDir dir;
  dir.MakeDir("ro");
  dir.WriteFile("ro/a", "a");
  ASSERT_EQ(chmod(dir.Path("ro").c_str(), 0555), 0);
  EXPECT_EQ(Rename(dir.Dir() + "ro/", "a", "b"), Failure::kPermission);
  chmod(dir.Path("ro").c_str(), 0755);
  EXPECT_EQ(dir.ReadFile("ro/a"), "a");
}

TEST(PosixRename, ExistsAndIdentity) {
  TempDir dir;
  dir.WriteFile("a", "a");
  dir.WriteFile("b", "b");
  ASSERT_EQ(link(dir.Path("a").c_str(), dir.Path("a2").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", dir.Path("dangling").c_str()), 0);
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Folder folder{dir.Dir(), nullptr};
  EXPECT_TRUE(files.Stat(folder, "a").exists);
  EXPECT_TRUE(files.Stat(folder, "dangling").exists);
  EXPECT_FALSE(files.Stat(folder, "c").exists);
  EXPECT_TRUE(files.Stat(folder, "a").id == files.Stat(folder, "a2").id);
  EXPECT_FALSE(files.Stat(folder, "a").id == files.Stat(folder, "b").id);
  EXPECT_FALSE(files.Stat(folder, "c").id.known);
  // By name: the size and time, kept by a rename, told apart by either.
  dir.WriteFile("longer", "bb");
  const platform::EntryId stamp = files.Stat(folder, "b").stamp;
  EXPECT_TRUE(stamp.known && stamp.by_name);
  EXPECT_EQ(stamp.volume, 1u);
  ASSERT_EQ(Rename(dir.Dir(), "b", "b2"), Failure::kNone);
  EXPECT_TRUE(files.Stat(folder, "b2").stamp == stamp);
  EXPECT_FALSE(files.Stat(folder, "longer").stamp == stamp);
  EXPECT_FALSE(files.Stat(folder, "b").stamp.known);
  // The file system's type, by its name.
  struct statfs shm;
  if (statfs("/dev/shm", &shm) == 0 && shm.f_type == 0x01021994) {
    EXPECT_EQ(files.DescribeFolder({"/dev/shm/", nullptr}).volume_type,
              "tmpfs");
  }
  EXPECT_EQ(files.DescribeFolder({"/proc/", nullptr}).volume_type, "");
}

// A name the library's FAT or exFAT cannot hold is refused as such, before
// the system's own refusal says no more than "invalid argument".
TEST(PosixRename, FatAndExfatHoldNoColonOrQuestionMark) {
  struct Case {
    const char* volume;
    const char* name;
    bool held;
  } cases[] = {
      {"exfat", "Film (2010).mkv", true}, {"exfat", "Film: Part 2.mkv", false},
      {"vfat", "Why?.mkv", false},        {"exfat", "say \"hi\".mkv", false},
      {"exfat", "tab\there", false},      {"ext4", "Film: Part 2.mkv", true},
      {"", "a|b<c>*", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(posix::VolumeHoldsName(c.volume, c.name), c.held)
        << c.volume << " " << c.name;
}

}  // namespace
