#include <gtest/gtest.h>

#include <utility>

#include "rules/download_in_progress.h"

namespace {

TEST(DownloadInProgress, KnownByTheClientsExtension) {
  for (const char* name :
       {"Movie.2010.mkv.part", "Movie.2010.mkv.PART", "Movie.mkv.partial",
        "Movie.mkv.crdownload", "Movie.mkv.download", "Movie.mkv.opdownload",
        "Movie.mkv.!qB", "Movie.mkv.!QB", "Movie.mkv.!ut", "Movie.mkv.!bt",
        "Movie.mkv.bc!", "Movie.mkv.az!", "Movie.mkv.bt!", "Movie.mkv.fb!",
        "Movie.mkv.dctmp", "Movie.mkv.aria2", "Some.Folder.download",
        "noextension.part", ".part"}) {
    EXPECT_TRUE(rules::IsDownloadInProgress(name)) << name;
  }
  for (const char* name :
       {"Movie.2010.mkv", "Movie.part1.rar", "Movie.part.mkv", "Movie.Part 2.avi",
        "Moviepart", "Movie.tmp", "Movie.aria", "Movie.!q", "part", "",
        "Movie.mkv.part "}) {
    EXPECT_FALSE(rules::IsDownloadInProgress(name)) << name;
  }
  for (std::string_view extension : rules::DownloadInProgressExtensions()) {
    ASSERT_GE(extension.size(), 2u);
    EXPECT_EQ(extension[0], '.');
    EXPECT_EQ(extension.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string_view::npos);
  }
}

// A control file beside its download names it, in any case.
TEST(DownloadInProgress, AControlFileNamesTheDownloadBesideIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"Movie.mkv.aria2", "Movie.mkv"}, {"Movie.mkv.ARIA2", "Movie.mkv"},
      {"a.aria2", "a"},                 {".aria2", ""},
      {"Movie.mkv", ""},                {"Movie.mkv.part", ""},
      {"Movie.aria", ""},               {"Movie.aria2.mkv", ""},
  };
  for (const auto& [name, download] : cases)
    EXPECT_EQ(rules::ControlledDownload(name), download) << name;
}

}  // namespace
