#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "posix_temp_dir.h"

namespace {

// A download's .nfo is read up to the most asked, and only a regular file
// is read: never through a link, never a fifo that would block.
TEST(PosixReadStart, OnlyAFileIsReadAndOnlyItsStart) {
  posix_test::TempDir dir;
  dir.WriteFile("info.nfo", "imdb.com/title/tt0000001");
  dir.MakeDir("sub");
  ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("info.nfo", dir.Path("link.nfo").c_str()), 0);
  platform::FileSystem& files = platform::SystemFileSystem();
  const platform::Listing listing = files.ListFolder(dir.Dir(), "info.nfo");
  struct Case {
    const char* name;
    std::size_t most;
    platform::Failure failure;
    const char* bytes;
  } cases[] = {
      {"info.nfo", 1 << 20, platform::Failure::kNone, "imdb.com/title/tt0000001"},
      {"info.nfo", 4, platform::Failure::kNone, "imdb"},
      {"link.nfo", 100, platform::Failure::kNotAFile, ""},
      {"fifo", 100, platform::Failure::kNotAFile, ""},
      {"sub", 100, platform::Failure::kNotAFile, ""},
      {"gone.nfo", 100, platform::Failure::kNotFound, ""},
  };
  for (const Case& c : cases) {
    std::string bytes = "stale";
    EXPECT_EQ(files.ReadStart(listing.folder, c.name, c.most, bytes).failure,
              c.failure)
        << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
  }
}

}  // namespace
