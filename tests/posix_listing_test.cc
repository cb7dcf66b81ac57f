#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "posix_temp_dir.h"

namespace {

using posix_test::InDirectory;
using posix_test::TempDir;

std::vector<std::string> ListAll(const std::string& spec, int code) {
  std::vector<std::string> names;
  for (std::string name = platform::ListFirst(spec, code); !name.empty();
       name = platform::ListNext()) {
    names.push_back(name);
  }
  return names;
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

TEST_F(PosixListing, SelectionModesClassifyEveryKindOfEntry) {
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x80),
            (Names{"file.txt", "link-dangling", "link-to-fifo",
                   "link-to-file"}));
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x10),
            (Names{"file.txt", "link-dangling", "link-to-dir", "link-to-fifo",
                   "link-to-file", "sub"}));
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x90), (Names{"link-to-dir", "sub"}));
  // Hidden and system entries, when the code asks for them.
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x82), (Names{".dotfile"}));
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x84), (Names{"fifo"}));
  EXPECT_EQ(ListAll(dir_.Dir() + "*", 0x92),
            (Names{".dotfile", ".hiddendir", "link-to-dir", "sub"}));
}

TEST_F(PosixListing, SocketIsSystem) {
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
  EXPECT_EQ(ListAll(dir_.Dir() + "s*", 0x10), (Names{"sub"}));
  EXPECT_EQ(ListAll(dir_.Dir() + "s*", 0x84), (Names{"sock"}));
  close(s);
}

TEST_F(PosixListing, DirectoryEndingInSlashListsEveryEntry) {
  EXPECT_EQ(ListAll(dir_.Dir(), 0x90), (Names{"link-to-dir", "sub"}));
  EXPECT_EQ(platform::ListDirectory(), dir_.Dir());
}

TEST_F(PosixListing, DotAndDotDotNeverComeBack) {
  for (int code : {0x80, 0x10, 0x90, 0x92, 0x96}) {
    for (const std::string& name : ListAll(dir_.Dir() + "*", code)) {
      EXPECT_NE(name, ".");
      EXPECT_NE(name, "..");
    }
    EXPECT_EQ(ListAll(dir_.Dir() + ".", code), Names{});
    EXPECT_EQ(ListAll(dir_.Dir() + "..", code), Names{});
  }
}

TEST(PosixListingPlain, WildcardsAreCaseBlindAndStarDotStarTakesAll) {
  TempDir dir;
  for (const char* name : {"X.AVI", "b.avi", "c.mkv", "noext", "a.Avi"}) {
    dir.WriteFile(name, "");
  }
  EXPECT_EQ(ListAll(dir.Dir() + "*.avi", 0x80),
            (Names{"X.AVI", "a.Avi", "b.avi"}));
  EXPECT_EQ(ListAll(dir.Dir() + "*.*", 0x80),
            (Names{"X.AVI", "a.Avi", "b.avi", "c.mkv", "noext"}));
  EXPECT_EQ(ListAll(dir.Dir() + "?.mkv", 0x80), (Names{"c.mkv"}));
  EXPECT_EQ(ListAll(dir.Dir() + "NOEXT", 0x80), (Names{"noext"}));
  EXPECT_EQ(ListAll(dir.Dir() + "*.srt", 0x80), Names{});
}

TEST(PosixListingPlain, NamesComeSortedBytewiseAndByteExact) {
  TempDir dir;
  const Names names = {"B", "a", "\xc3\xa9t\xc3\xa9", "\xff\xfe bad utf8",
                       "Z z", "_under", "0digit"};
  for (const std::string& name : names) dir.WriteFile(name, "");
  EXPECT_EQ(ListAll(dir.Dir() + "*", 0x80),
            (Names{"0digit", "B", "Z z", "_under", "a", "\xc3\xa9t\xc3\xa9",
                   "\xff\xfe bad utf8"}));
}

TEST(PosixListingPlain, MissingDirectoryOrNoMatchGivesNothing) {
  TempDir dir;
  EXPECT_EQ(platform::ListFirst(dir.Dir() + "missing/*", 0x80), "");
  EXPECT_EQ(platform::ListNext(), "");
  EXPECT_EQ(platform::ListFirst(dir.Dir() + "*", 0x80), "");
  EXPECT_EQ(platform::ListFirst(dir.Path("notadir") + "/*", 0x80), "");
}

TEST(PosixListingPlain, EndIsFinalAndEmptySpecContinues) {
  TempDir dir;
  dir.WriteFile("a", "");
  dir.WriteFile("b", "");
  dir.WriteFile("c", "");
  EXPECT_EQ(platform::ListFirst(dir.Dir() + "*", 0x80), "a");
  EXPECT_EQ(platform::ListFirst("", 0x90), "b");  // as ListNext, code ignored
  EXPECT_EQ(platform::ListNext(), "c");
  EXPECT_EQ(platform::ListNext(), "");
  dir.WriteFile("d", "");
  EXPECT_EQ(platform::ListNext(), "");
  EXPECT_EQ(platform::ListNext(), "");
  EXPECT_EQ(platform::ListFirst("", 0x80), "");
}

TEST(PosixListingPlain, NewListingAbandonsTheOpenOne) {
  TempDir one, two;
  one.WriteFile("a1", "");
  one.WriteFile("a2", "");
  two.WriteFile("b1", "");
  EXPECT_EQ(platform::ListFirst(one.Dir() + "*", 0x80), "a1");
  EXPECT_EQ(platform::ListFirst(two.Dir() + "*", 0x80), "b1");
  EXPECT_EQ(platform::ListDirectory(), two.Dir());
  EXPECT_EQ(platform::ListNext(), "");
}

TEST(PosixListingPlain, CurrentDirectoryHasEmptyDirectoryPart) {
  TempDir dir;
  dir.WriteFile("here.txt", "");
  std::string first, directory;
  {
    InDirectory in(dir.Dir());
    first = platform::ListFirst("*.TXT", 0x80);
    directory = platform::ListDirectory();
  }
  EXPECT_EQ(first, "here.txt");
  EXPECT_EQ(directory, "");
}

TEST(PosixListingPlain, ListingIsASnapshot) {
  TempDir dir;
  for (const char* name : {"a xvid", "b xvid", "c xvid"}) {
    dir.WriteFile(name, "");
  }
  std::vector<std::string> seen;
  for (std::string name = platform::ListFirst(dir.Dir() + "*", 0x80);
       !name.empty(); name = platform::ListNext()) {
    seen.push_back(name);
    // Renamed to a name that sorts after every other: it must not return.
    platform::ErrorSlot slot;
    ASSERT_TRUE(platform::RenameEntry(platform::ListDirectory(), name,
                                      "z " + name, slot))
        << slot.reason;
  }
  EXPECT_EQ(seen, (Names{"a xvid", "b xvid", "c xvid"}));
}

TEST(PosixListingPlain, HundredThousandEntriesAreQuick) {
  TempDir dir;
  const int count = 100000;
  for (int i = 0; i < count; ++i) {
    const std::string name = dir.Path("f" + std::to_string(i) + ".avi");
    const int fd = open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
  }
  const auto start = std::chrono::steady_clock::now();
  int listed = 0;
  for (std::string name = platform::ListFirst(dir.Dir() + "*.AVI", 0x80);
       !name.empty(); name = platform::ListNext()) {
    ++listed;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(listed, count);
  // Generous, for a sanitized debug build on a slow machine.
  EXPECT_LT(elapsed, std::chrono::seconds(10));
}

}  // namespace
