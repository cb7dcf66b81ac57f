#include <gtest/gtest.h>

#include "rules/clean_name.h"
#include "rules/stem_cleanup.h"

namespace {

TEST(SplitName, CutsAtTheLastPeriod) {
  struct Case {
    const char* name;
    const char* stem;
    const char* extension;
  } cases[] = {
      {"My.Movie.Name.avi", "My.Movie.Name", ".avi"},
      {"name.tar.gz", "name.tar", ".gz"},
      {".hidden", "", ".hidden"},
      {"README", "README", ""},
      {"trailing.", "trailing", "."},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    rules::NameSplit split = rules::SplitName(c.name);
    EXPECT_EQ(split.stem, c.stem) << c.name;
    EXPECT_EQ(split.extension, c.extension) << c.name;
  }
}

// A directory's name has no extension unless its last dotted part plainly
// is one; files keep their rule.
TEST(SplitDirectoryName, CleansTheNameWhole) {
  struct Case {
    const char* name;
    const char* stem;
    const char* extension;
  } cases[] = {
      {"Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES",
       "Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES", ""},
      {"The.Wire.S01.COMPLETE.720p.BluRay.x264-DEMAND",
       "The.Wire.S01.COMPLETE.720p.BluRay.x264-DEMAND", ""},
      {"project.git", "project", ".git"},
      {"Photos.app", "Photos", ".app"},
      {"conf.d", "conf", ".d"},
      {"Backup.2024.tar", "Backup.2024", ".tar"},
      {"X.MP3v", "X", ".MP3v"},
      {"Movie.1080p", "Movie.1080p", ""},    // begins with a digit
      {"Movie.BluRay", "Movie.BluRay", ""},  // a term, in any case
      {"Movie.XVID", "Movie.XVID", ""},
      {"Movie.hd", "Movie.hd", ""},
      {"Movie.[MULTI]", "Movie.[MULTI]", ""},
      {"The.Wire.S01", "The.Wire.S01", ""},
      {"Movie.2010.CD1", "Movie.2010.CD1", ""},
      {"Show.E05", "Show.E05", ""},
      {"Movie.Remux", "Movie.Remux", ""},  // five letters
      {"Show.S01.x265", "Show.S01.x265", ""},  // release tags of /v
      {"Show.S01.AVC", "Show.S01.AVC", ""},
      {"Show.S01.HEVC", "Show.S01.HEVC", ""},
      {"Movie.2010.NF", "Movie.2010.NF", ""},
      {"Movie.é", "Movie.é", ""},
      {"Movie.", "Movie.", ""},
      {"README", "README", ""},
      {".hidden", "", ".hidden"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    rules::NameSplit split = rules::SplitDirectoryName(c.name);
    EXPECT_EQ(split.stem, c.stem) << c.name;
    EXPECT_EQ(split.extension, c.extension) << c.name;
  }
  rules::NameRules yk;
  yk.year_rule = yk.term_rule = true;
  yk.highest_year = 2026;
  EXPECT_EQ(rules::CleanName("Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES",
                             yk, true).name,
            "Dune (2021)");
  EXPECT_EQ(rules::CleanName("The.Wire.S01.COMPLETE.720p.BluRay.x264-DEMAND", yk,
                             true).name,
            "The Wire S01 COMPLETE");
  EXPECT_EQ(rules::CleanName("Some_Project.git", yk, true).name, "Some Project.git");
  // The same name as a file keeps the file's rule.
  EXPECT_EQ(rules::CleanName("Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES",
                             yk).name,
            "Dune (2021).HEVC-TEPES");
}

TEST(CleanStem, Examples) {
  struct Case {
    const char* stem;
    const char* want;
  } cases[] = {
      {"My.Movie.Name", "My Movie Name"},
      {"name.tar", "name tar"},
      {"a_b__c", "a b c"},
      {"[Group] Title", "(Group) Title"},
      {"Title(2010)", "Title (2010)"},
      {"x ( y )", "x (y)"},
      {"a((b))", "a ((b))"},
      {"", ""},
      {"README", "README"},
      {"Some_Folder", "Some Folder"},
      {"._.", ""},
      {"  lots   of    space  ", "lots of space"},
      {"tab\there", "tab\there"},
      {"[a]]", "(a))"},
      {"(", "("},
      {")(", ") ("},
      {"Some.Movie.2010.XviD", "Some Movie 2010 XviD"},
      {"x)y(z", "x) y (z"},
  };
  for (const Case& c : cases) EXPECT_EQ(rules::CleanStem(c.stem), c.want) << c.stem;
}

// The words of digits a period joined to the word before, from the same pass.
TEST(CleanStem, PeriodJoins) {
  struct Case {
    const char* stem;
    std::uint64_t want;
  } cases[] = {
      {"Show.-.12.5", 0b1100},   {"Show.S03E21.22", 0b100},
      {"Show S03E21 22", 0},     {"DD+5.1.x264", 0b10},
      {"a_.5", 0b10},            {"a.(5)", 0},
      {"[a].5", 0b10},           {"..5.a", 0},
      {"a.b.c", 0},
  };
  for (const Case& c : cases) {
    std::uint64_t joins = ~std::uint64_t{0};
    rules::CleanStem(c.stem, &joins);
    EXPECT_EQ(joins, c.want) << c.stem;
  }
}

// Every cleaned stem satisfies what the later rules rely on, whatever the
// input.
TEST(CleanStem, InvariantsOverGeneratedStems) {
  const std::string alphabet = "a. _[]()B\t1";
  std::string stem;
  unsigned seed = 12345;
  for (int round = 0; round < 20000; ++round) {
    stem.clear();
    seed = seed * 1103515245 + 12345;
    int length = (seed >> 16) % 12;
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245 + 12345;
      stem.push_back(alphabet[(seed >> 16) % alphabet.size()]);
    }
    std::string clean = rules::CleanStem(stem);
    SCOPED_TRACE("[" + stem + "] -> [" + clean + "]");
    EXPECT_EQ(clean.find("  "), std::string::npos);
    EXPECT_EQ(clean.find_first_of("._[]"), std::string::npos);
    EXPECT_EQ(clean.find("( "), std::string::npos);
    EXPECT_EQ(clean.find(" )"), std::string::npos);
    if (!clean.empty()) {
      EXPECT_NE(clean.front(), ' ');
      EXPECT_NE(clean.back(), ' ');
    }
    EXPECT_EQ(rules::CleanStem(clean), clean);  // cleaning twice changes nothing
  }
}

}  // namespace
