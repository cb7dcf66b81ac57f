#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/error_reason.h"
#include "platform/posix/rename.h"
#include "posix_temp_dir.h"

namespace {

using posix_test::InDirectory;
using posix_test::TempDir;
namespace posix = platform::posix;

int OpenDir(const TempDir& dir) {
  return open(dir.Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// No entry of the temporary kind is left behind.
bool NoTemporaryLeft(const TempDir& dir) {
  for (const auto& e : std::filesystem::directory_iterator(dir.Dir())) {
    if (e.path().filename().string().rfind(".namewisp-", 0) == 0) return false;
  }
  return true;
}

TEST(PosixRename, RenamesAndKeepsTheContent) {
  TempDir dir;
  dir.WriteFile("Some.Movie.2010.avi", "movie");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "Some.Movie.2010.avi",
                                    "Some Movie (2010).avi", slot));
  EXPECT_EQ(slot.code, 0);
  EXPECT_FALSE(dir.Exists("Some.Movie.2010.avi"));
  EXPECT_EQ(dir.ReadFile("Some Movie (2010).avi"), "movie");
}

TEST(PosixRename, NeverReplacesAnExistingEntry) {
  TempDir dir;
  dir.WriteFile("a b.txt", "first");
  dir.WriteFile("a c.txt", "second");
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), "a b.txt", "a c.txt", slot));
  EXPECT_EQ(slot.code, EEXIST);
  EXPECT_STREQ(slot.reason, "a file with that name exists");
  EXPECT_EQ(dir.ReadFile("a b.txt"), "first");
  EXPECT_EQ(dir.ReadFile("a c.txt"), "second");
  EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(PosixRename, NeverReplacesAnExistingDirectory) {
  TempDir dir;
  dir.MakeDir("one");
  dir.MakeDir("two");
  dir.WriteFile("two/inside", "x");
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), "one", "two", slot));
  EXPECT_STREQ(slot.reason, "a file with that name exists");
  EXPECT_EQ(dir.ReadFile("two/inside"), "x");
  EXPECT_TRUE(dir.Exists("one"));
}

TEST(PosixRename, HardLinksToOneFileAreTwoEntries) {
  TempDir dir;
  dir.WriteFile("a", "same");
  ASSERT_EQ(link(dir.Path("a").c_str(), dir.Path("b").c_str()), 0);
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), "a", "b", slot));
  EXPECT_EQ(slot.code, EEXIST);
  EXPECT_TRUE(dir.Exists("a"));
  EXPECT_TRUE(dir.Exists("b"));
  EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(PosixRename, CaseOnlyRename) {
  TempDir dir;
  dir.WriteFile("hello.txt", "hi");
  dir.MakeDir("folder");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "hello.txt", "Hello.txt", slot))
      << slot.reason;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "folder", "FOLDER", slot))
      << slot.reason;
  EXPECT_FALSE(dir.Exists("hello.txt"));
  EXPECT_EQ(dir.ReadFile("Hello.txt"), "hi");
  EXPECT_TRUE(dir.Exists("FOLDER"));
  EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(PosixRename, DetourThroughATemporaryName) {
  // What a case-insensitive file system goes through, driven directly.
  TempDir dir;
  dir.WriteFile("hello.txt", "hi");
  const int fd = OpenDir(dir);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(posix::RenameThroughTemporary(fd, "hello.txt", "Hello.txt"), 0);
  EXPECT_EQ(dir.ReadFile("Hello.txt"), "hi");
  EXPECT_FALSE(dir.Exists("hello.txt"));
  EXPECT_TRUE(NoTemporaryLeft(dir));

  // The second step fails: the entry goes back to its old name.
  dir.WriteFile("taken", "other");
  EXPECT_EQ(posix::RenameThroughTemporary(fd, "Hello.txt", "taken"), EEXIST);
  EXPECT_EQ(dir.ReadFile("Hello.txt"), "hi");
  EXPECT_EQ(dir.ReadFile("taken"), "other");
  EXPECT_TRUE(NoTemporaryLeft(dir));

  // A temporary name already in use is passed over.
  dir.WriteFile(".namewisp-" + std::to_string(getpid()) + "-0.tmp", "t");
  EXPECT_EQ(posix::RenameThroughTemporary(fd, "Hello.txt", "HELLO.txt"), 0);
  EXPECT_EQ(dir.ReadFile("HELLO.txt"), "hi");
  close(fd);
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

TEST(PosixRename, RefusedNamesMakeNoChange) {
  const std::string long_name(257, 'x');
  struct Case {
    std::string old_name, new_name;
    int code;
    const char* reason;
  } cases[] = {
      {"a.txt", "a?.txt", posix::kNameHasWildcard,
       "name refused: it contains ? or *"},
      {"a.txt", "a*.txt", posix::kNameHasWildcard,
       "name refused: it contains ? or *"},
      {"a?.txt", "b.txt", posix::kNameHasWildcard,
       "name refused: it contains ? or *"},
      {"a.txt", "", posix::kNameEmpty, "name refused: it is empty"},
      {"", "b.txt", posix::kNameEmpty, "name refused: it is empty"},
      {"a.txt", long_name, posix::kNameTooLong, "name too long"},
      {long_name, "b.txt", posix::kNameTooLong, "name too long"},
      {"a.txt", "sub/b.txt", posix::kNameHasSlash,
       "name refused: it contains /"},
      {"a.txt", std::string("b\0c", 3), posix::kNameHasSlash,
       "name refused: it contains /"},
      // The new name is tested first.
      {"a*", "b?", posix::kNameHasWildcard,
       "name refused: it contains ? or *"},
      {"", "b/", posix::kNameHasSlash, "name refused: it contains /"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.WriteFile("a.txt", "a");
    dir.MakeDir("sub");
    platform::ErrorSlot slot;
    EXPECT_FALSE(platform::RenameEntry(dir.Dir(), c.old_name, c.new_name, slot))
        << c.new_name;
    EXPECT_EQ(slot.code, c.code) << c.new_name;
    EXPECT_STREQ(slot.reason, c.reason) << c.new_name;
    EXPECT_EQ(dir.ReadFile("a.txt"), "a");
    EXPECT_FALSE(dir.Exists("sub/b.txt"));
  }
}

TEST(PosixRename, NameLengthLimit) {
  TempDir dir;
  dir.WriteFile("a", "a");
  platform::ErrorSlot slot;
  // 255 bytes: the longest name Linux file systems keep.
  const std::string longest(255, 'n');
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "a", longest, slot))
      << slot.reason;
  // 256 bytes pass the program's own limit, and the file system refuses it.
  platform::ErrorSlot too_long;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), longest,
                                     std::string(256, 'n'), too_long));
  EXPECT_EQ(too_long.code, ENAMETOOLONG);
  EXPECT_STREQ(too_long.reason, "name too long");
  // 129 two-byte characters: 258 bytes, refused before any call.
  std::string wide;
  for (int i = 0; i < 129; ++i) wide += "\xc3\xa9";
  platform::ErrorSlot refused;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), longest, wide, refused));
  EXPECT_EQ(refused.code, posix::kNameTooLong);
  EXPECT_TRUE(dir.Exists(longest));
}

TEST(PosixRename, ActsInTheGivenDirectory) {
  TempDir dir;
  dir.MakeDir("sub");
  dir.WriteFile("sub/x.txt", "in sub");
  dir.WriteFile("x.txt", "outside");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir() + "sub/", "x.txt", "y.txt", slot))
      << slot.reason;
  EXPECT_EQ(dir.ReadFile("sub/y.txt"), "in sub");
  EXPECT_EQ(dir.ReadFile("x.txt"), "outside");
  EXPECT_FALSE(dir.Exists("y.txt"));
}

TEST(PosixRename, EmptyDirectoryIsTheCurrentOne) {
  TempDir dir;
  dir.WriteFile("here", "h");
  platform::ErrorSlot slot;
  bool renamed;
  {
    InDirectory in(dir.Dir());
    renamed = platform::RenameEntry("", "here", "there", slot);
  }
  EXPECT_TRUE(renamed) << slot.reason;
  EXPECT_EQ(dir.ReadFile("there"), "h");
}

TEST(PosixRename, MissingSourceOrDirectoryIsNotFound) {
  TempDir dir;
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir(), "missing", "new", slot));
  EXPECT_EQ(slot.code, ENOENT);
  EXPECT_STREQ(slot.reason, "not found");
  platform::ErrorSlot no_dir;
  EXPECT_FALSE(
      platform::RenameEntry(dir.Dir() + "nodir/", "a", "b", no_dir));
  EXPECT_STREQ(no_dir.reason, "not found");
  EXPECT_FALSE(dir.Exists("new"));
}

TEST(PosixRename, RenamesDirectoriesAndSymlinksThemselves) {
  TempDir dir;
  dir.MakeDir("Some.Folder");
  dir.WriteFile("Some.Folder/inside", "i");
  ASSERT_EQ(symlink("Some.Folder", dir.Path("the.link").c_str()), 0);
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "the.link", "the link", slot));
  EXPECT_TRUE(
      platform::RenameEntry(dir.Dir(), "Some.Folder", "Some Folder", slot));
  EXPECT_EQ(dir.ReadFile("Some Folder/inside"), "i");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("the link")));
}

TEST(PosixRename, InvalidUtf8NamesAreRenamedByteExactly) {
  TempDir dir;
  const std::string old_name = "bad\xff\xfe.name.avi";
  const std::string new_name = "bad\xff\xfe name.avi";
  dir.WriteFile(old_name, "b");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), old_name, new_name, slot));
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
  platform::ErrorSlot slot;
  EXPECT_FALSE(platform::RenameEntry(dir.Dir() + "ro/", "a", "b", slot));
  EXPECT_STREQ(slot.reason, "permission denied");
  chmod(dir.Path("ro").c_str(), 0755);
  EXPECT_EQ(dir.ReadFile("ro/a"), "a");
}

TEST(PosixRename, SameNameIsNoChange) {
  TempDir dir;
  dir.WriteFile("a", "a");
  platform::ErrorSlot slot;
  EXPECT_TRUE(platform::RenameEntry(dir.Dir(), "a", "a", slot));
  EXPECT_EQ(slot.code, 0);
  EXPECT_EQ(dir.ReadFile("a"), "a");
}

TEST(PosixRename, Reasons) {
  EXPECT_STREQ(posix::ReasonForError(EEXIST), "a file with that name exists");
  EXPECT_STREQ(posix::ReasonForError(ENOTEMPTY),
               "a file with that name exists");
  EXPECT_STREQ(posix::ReasonForError(EACCES), "permission denied");
  EXPECT_STREQ(posix::ReasonForError(EPERM), "permission denied");
  EXPECT_STREQ(posix::ReasonForError(EROFS), "permission denied");
  EXPECT_STREQ(posix::ReasonForError(ENOENT), "not found");
  EXPECT_STREQ(posix::ReasonForError(ENAMETOOLONG), "name too long");
  EXPECT_STREQ(posix::ReasonForError(EBUSY), "in use by another program");
  EXPECT_STRNE(posix::ReasonForError(ELOOP), "");
  EXPECT_STRNE(posix::ReasonForError(99999), "");
}

}  // namespace
