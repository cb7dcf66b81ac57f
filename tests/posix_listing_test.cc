#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/plan/operand.h"
#include "platform/platform.h"
#include "posix_temp_dir.h"

namespace {

using posix_test::InDirectory;
using posix_test::TempDir;

platform::Listing List(const std::string& operand) {
  return app::ListOperand(platform::SystemFileSystem(), operand,
                          platform::PathStyle::kPosix);
}

std::vector<std::string> ListAll(const std::string& operand) {
  std::vector<std::string> names;
  for (const platform::Entry& e : List(operand).entries)
    names.push_back(e.name);
  return names;
}

// Each entry as "name:kind", kind f(ile), d(irectory) or o(ther), with "h"
// for a hidden one.
std::vector<std::string> Described(const std::string& operand) {
  std::vector<std::string> out;
  for (const platform::Entry& e : List(operand).entries) {
    const char* kind = e.kind == platform::EntryKind::kFile        ? "f"
                       : e.kind == platform::EntryKind::kDirectory ? "d"
                                                                   : "o";
    out.push_back(e.name + ":" + kind + (e.hidden ? "h" : ""));
  }
  return out;
}

using Names = std::vector<std::string>;

class PosixListing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Dir() == "/");
    dir_.WriteFile("file.txt", "f");
    dir_.WriteFile(".dotfile", "h");
    dir_.MakeDir("sub");
    dir_.MakeDir(".hiddendir");
    ASSERT_EQ(mkfifo(dir_.Path("fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("sub", dir_.Path("link-to-dir").c_str()), 0);
    ASSERT_EQ(symlink("file.txt", dir_.Path("link-to-file").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", dir_.Path("link-dangling").c_str()), 0);
    ASSERT_EQ(symlink("fifo", dir_.Path("link-to-fifo").c_str()), 0);
  }
  TempDir dir_;
};

TEST_F(PosixListing, EveryKindOfEntryIsTold) {
  EXPECT_EQ(Described(dir_.Dir() + "*"),
            (Names{".dotfile:oh", ".hiddendir:oh", "fifo:o", "file.txt:f",
                   "link-dangling:f", "link-to-dir:d", "link-to-fifo:f",
                   "link-to-file:f", "sub:d"}));
  // A name without wildcards is looked up: the same kinds.
  for (const char* name : {"fifo:o", "file.txt:f", "link-dangling:f",
                           "link-to-dir:d", "sub:d"}) {
    const std::string entry = name;
    EXPECT_EQ(Described(dir_.Dir() + entry.substr(0, entry.find(':'))),
              Names{entry});
  }
}

TEST_F(PosixListing, SocketIsOther) {
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  const std::string path = dir_.Path("sock");
  if (path.size() >= sizeof address.sun_path) {
    close(s);
    GTEST_SKIP() << "temporary path too long for a socket";
  }
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(Described(dir_.Dir() + "so*"), (Names{"sock:o"}));
  close(s);
}

TEST_F(PosixListing, TrailingSlashNamesTheFolderItself) {
  EXPECT_EQ(Described(dir_.Dir() + "sub/"), Names{"sub:d"});
  EXPECT_EQ(Described(dir_.Dir() + "sub//"), Names{"sub:d"});
  EXPECT_EQ(List(dir_.Dir() + "sub/").folder.path, dir_.Dir());
  EXPECT_EQ(ListAll("/"), Names{});
}

TEST_F(PosixListing, DotAndDotDotNeverComeBack) {
  for (const std::string& name : ListAll(dir_.Dir() + "*")) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
  }
  EXPECT_EQ(ListAll(dir_.Dir() + "."), Names{});
  EXPECT_EQ(ListAll(dir_.Dir() + ".."), Names{});
}

TEST(PosixListingPlain, WildcardsAreCaseBlindAndStarDotStarTakesAll) {
  TempDir dir;
  for (const char* name : {"X.AVI", "b.avi", "c.mkv", "noext", "a.Avi"}) {
    dir.WriteFile(name, "");
  }
  EXPECT_EQ(ListAll(dir.Dir() + "*.avi"), (Names{"X.AVI", "a.Avi", "b.avi"}));
  EXPECT_EQ(ListAll(dir.Dir() + "*.*"),
            (Names{"X.AVI", "a.Avi", "b.avi", "c.mkv", "noext"}));
  EXPECT_EQ(ListAll(dir.Dir() + "?.mkv"), (Names{"c.mkv"}));
  EXPECT_EQ(ListAll(dir.Dir() + "*.srt"), Names{});
  // A name without wildcards is the entry of that very name.
  EXPECT_EQ(ListAll(dir.Dir() + "noext"), (Names{"noext"}));
  EXPECT_EQ(ListAll(dir.Dir() + "NOEXT"), Names{});
}

TEST(PosixListingPlain, NamesComeSortedBytewiseAndByteExact) {
  TempDir dir;
  const Names names = {"B", "a", "\xc3\xa9t\xc3\xa9", "\xff\xfe bad utf8",
                       "Z z", "_under", "0digit"};
  for (const std::string& name : names) dir.WriteFile(name, "");
  EXPECT_EQ(ListAll(dir.Dir() + "*"),
            (Names{"0digit", "B", "Z z", "_under", "a", "\xc3\xa9t\xc3\xa9",
                   "\xff\xfe bad utf8"}));
}

TEST(PosixListingPlain, NamesAlikeInTheirFirstBytesSortByTheRest) {
  TempDir dir;
  // Alike in their first 8 and 16 bytes, and one the start of another.
  const Names names = {"show.s01e10", "show.s01e02", "show.s01", "show",
                       "show.s01e\xc3\xa9", "show.s01E02", "shox", "sho",
                       "show.s01e02.720p.x", "show.s01e02.720p",
                       "show.s01e02.720p\xff"};
  for (const std::string& name : names) dir.WriteFile(name, "");
  EXPECT_EQ(ListAll(dir.Dir() + "*"),
            (Names{"sho", "show", "show.s01", "show.s01E02", "show.s01e02",
                   "show.s01e02.720p", "show.s01e02.720p.x",
                   "show.s01e02.720p\xff", "show.s01e10",
                   "show.s01e\xc3\xa9", "shox"}));
}

TEST(PosixListingPlain, MissingDirectoryOrNoMatchGivesNothing) {
  TempDir dir;
  EXPECT_EQ(ListAll(dir.Dir() + "missing/*"), Names{});
  EXPECT_EQ(ListAll(dir.Dir() + "missing"), Names{});
  EXPECT_EQ(ListAll(dir.Dir() + "*"), Names{});
  EXPECT_EQ(ListAll(dir.Path("notadir") + "/*"), Names{});
  EXPECT_EQ(ListAll(""), Names{});
}

TEST(PosixListingPlain, CurrentDirectoryHasEmptyDirectoryPart) {
  TempDir dir;
  dir.WriteFile("here.txt", "");
  platform::Listing listing;
  {
    InDirectory in(dir.Dir());
    listing = List("*.TXT");
  }
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(listing.entries[0].name, "here.txt");
  EXPECT_EQ(listing.folder.path, "");
}

TEST(PosixListingPlain, ListingIsASnapshot) {
  TempDir dir;
  for (const char* name : {"a xvid", "b xvid", "c xvid"}) {
    dir.WriteFile(name, "");
  }
  std::vector<std::string> seen;
  const platform::Listing listing = List(dir.Dir() + "*");
  for (const platform::Entry& e : listing.entries) {
    seen.push_back(e.name);
    // Renamed to a name that sorts after every other: it must not return.
    ASSERT_TRUE(platform::SystemFileSystem()
                    .Move(listing.folder, e.name, listing.folder, "z " + e.name)
                    .ok());
  }
  EXPECT_EQ(seen, (Names{"a xvid", "b xvid", "c xvid"}));
}

// A folder listed is entered relative to the folder above it, never through
// a link, and only while it is still the entry that was listed.
TEST(PosixListingPlain, BelowIsTheFolderListedOrNothing) {
  TempDir dir;
  dir.MakeDir("sub");
  dir.WriteFile("sub/in.txt", "");
  dir.MakeDir("elsewhere");
  dir.WriteFile("elsewhere/victim.txt", "");
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Listing top =
      files.ListFolder(dir.Dir(), platform::kEveryEntry);
  const auto sub = std::find_if(top.entries.begin(), top.entries.end(),
                                [](const platform::Entry& e) { return e.name == "sub"; });
  ASSERT_NE(sub, top.entries.end());
  ASSERT_TRUE(sub->id.known);
  const platform::Listing below = files.ListBelow(top.folder, *sub);
  EXPECT_TRUE(below.failure.ok());
  ASSERT_EQ(below.entries.size(), 1u);
  EXPECT_EQ(below.folder.path, dir.Dir() + "sub/");
  // Renames go to the folder opened, even when its path names another now.
  ASSERT_EQ(rename(dir.Path("sub").c_str(), dir.Path("moved").c_str()), 0);
  EXPECT_TRUE(files.Move(below.folder, "in.txt", below.folder, "out.txt").ok());
  EXPECT_EQ(dir.ReadFile("moved/out.txt"), "");

  // Swapped for a link, or for another folder, between listing and entering.
  ASSERT_EQ(symlink("elsewhere", dir.Path("sub").c_str()), 0);
  EXPECT_EQ(files.ListBelow(top.folder, *sub).failure.failure,
            platform::Failure::kNotFound);
  ASSERT_EQ(unlink(dir.Path("sub").c_str()), 0);
  ASSERT_EQ(rename(dir.Path("elsewhere").c_str(), dir.Path("sub").c_str()), 0);
  const platform::Listing swapped = files.ListBelow(top.folder, *sub);
  EXPECT_EQ(swapped.failure.failure, platform::Failure::kNotFound);
  EXPECT_TRUE(swapped.entries.empty());
}

}  // namespace
