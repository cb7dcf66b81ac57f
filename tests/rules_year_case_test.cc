#include <gtest/gtest.h>

#include "rules/case_rule.h"
#include "rules/clean_name.h"
#include "rules/year_rule.h"

namespace {

struct YearCase {
  const char* in;
  const char* out;
  bool changed;
};

void ExpectYears(const std::vector<YearCase>& cases, int highest) {
  for (const YearCase& c : cases) {
    rules::YearResult r = rules::ApplyYearRule(c.in, highest);
    EXPECT_EQ(r.stem, c.out) << c.in << " up to " << highest;
    EXPECT_EQ(r.changed, c.changed) << c.in << " up to " << highest;
    EXPECT_FALSE(rules::ApplyYearRule(r.stem, highest).changed) << c.in;
  }
}

TEST(YearRule, WithTheBoundAt2020) {
  ExpectYears(
      {
          {"blah 2010 xxx", "blah (2010)", true},
          {"Movie 2010", "Movie (2010)", true},
          {"Movie (2010)", "Movie (2010)", false},
          {"Movie (2010) Extra Cut", "Movie (2010)", true},
          {"2010 Movie", "2010 Movie", false},
          {"2010", "2010", false},
          {"Movie 1919", "Movie 1919", false},
          {"Movie 2021", "Movie 2021", false},
          {"Movie 1920", "Movie (1920)", true},
          {"Movie 2020", "Movie (2020)", true},
          {"Film 2001 Extra 1999 Cut", "Film 2001 Extra (1999)", true},
          {"Movie 2010 1080p x264", "Movie (2010)", true},
          // A year is a whole word of four digits, nothing else.
          {"Movie 1920x1080 x264", "Movie 1920x1080 x264", false},
          {"Movie 2010 1920x1080 x264", "Movie (2010)", true},
          {"Movie 2010abc x", "Movie 2010abc x", false},
          {"Movie 02010", "Movie 02010", false},
          {"Movie 2010-2012", "Movie 2010-2012", false},
          {"Movie 2010 1999-GRP", "Movie (2010)", true},
          {"Top 100 Songs of the 1990s", "Top 100 Songs of the 1990s", false},
          {"Movie +2010", "Movie +2010", false},
          {"Movie -2010", "Movie -2010", false},
          {"Movie x2010", "Movie x2010", false},
          {"Movie 2e3", "Movie 2e3", false},
          {"Movie &H7DA", "Movie &H7DA", false},
          {"Title ((2010)) x", "Title (2010)", true},
          {"Title (1999", "Title (1999)", true},
          {"Movie 2010 (Director's Cut)", "Movie (2010)", true},
          {"", "", false},
          {"a () 2000", "a () (2000)", true},
          {"Movie 2020.5", "Movie 2020.5", false},  // a real value past the bound
      },
      2020);
}

// A year inside a bracket group takes the group's words before it, so that
// no bracket the name closed is left open.
TEST(YearRule, LeavesBracketsBalanced) {
  ExpectYears(
      {
          {"Quiet Roads (Drama 1971)", "Quiet Roads (1971)", true},
          {"Quiet Roads (Drama 1971) 720p", "Quiet Roads (1971)", true},
          {"Movie (Extended 2010 Cut)", "Movie (2010)", true},
          {"Movie (A (B 2010)) x", "Movie (2010)", true},
          {"Movie (Cut) 2010 x", "Movie (Cut) (2010)", true},
          {"(Drama 1971)", "(Drama 1971)", false},
          {"(Drama 1971) 2001 x", "(Drama 1971) (2001)", true},
          {"Movie) 2010 x", "Movie) (2010)", true},
      },
      2020);
}

// Dates of daily shows: kept whole, without brackets.
TEST(YearRule, KeepsDates) {
  ExpectYears(
      {
          {"Evening News Hour 2019 03 14 Guest 720p", "Evening News Hour 2019-03-14", true},
          {"Evening News Hour 2019 03 15 Guest 720p", "Evening News Hour 2019-03-15", true},
          {"Show 2019-03-14 720p", "Show 2019-03-14", true},
          {"Show 2019-03-14", "Show 2019-03-14", false},
          {"Show 2019 13 14 x", "Show (2019)", true},
          {"Show 2019 03 32 x", "Show (2019)", true},
          {"Show 2019 3 14 x", "Show (2019)", true},
          {"Show 2019-3-14 x", "Show 2019-3-14 x", false},
          {"Show 2030 03 14", "Show 2030 03 14", false},
          // In a group with other words: the group goes, the date stays.
          {"Show (2019 03 14 Live)", "Show 2019-03-14", true},
          {"Show (Live 2019 03 14) x", "Show 2019-03-14", true},
      },
      2020);
}

// What the rule drops never includes an episode or part marker: the first
// one after the year follows it, in its written form.
TEST(YearRule, KeepsTheFirstMarkerAfterTheYear) {
  ExpectYears(
      {
          {"Doctor Who 2005 S01E01 720p HDTV x264", "Doctor Who (2005) S01E01", true},
          {"Doctor Who 2005 S01E02 Rose", "Doctor Who (2005) S01E02", true},
          {"Show 2005 s1e2", "Show (2005) S01E02", true},
          {"Show 2005 1x02-03 Title", "Show (2005) S01E02-E03", true},
          {"Movie 2010 Part 2 720p", "Movie (2010) Part 2", true},
          {"Movie 2010 pt II", "Movie (2010) pt II", true},
          {"Movie 2010 CD1", "Movie (2010) CD1", true},
          {"Movie 2010 XviD CD2 GRP", "Movie (2010) CD2", true},
          {"Movie 2010 Disc 2 Extras", "Movie (2010) Disc 2", true},
          {"Movie 2010 (Part 2)", "Movie (2010) Part 2", true},
          {"Movie 2010 CD1 Part 2", "Movie (2010) CD1", true},  // the first one
          {"Movie 2010 720p Part2", "Movie (2010) Part2", true},
          // Already in shape: unchanged.
          {"Doctor Who (2005) S01E01", "Doctor Who (2005) S01E01", false},
          {"Movie (2010) Part 2", "Movie (2010) Part 2", false},
          // A marker before the year is not after it: as before.
          {"Show S01E02 1999 720p", "Show S01E02 (1999)", true},
          {"Movie Part 2 2011 1080p", "Movie Part 2 (2011)", true},
          // Look-alikes go with the rest.
          {"Movie 2010 1x1 4x100 16x9", "Movie (2010) S01E01", true},  // 1x1 is one
          {"Movie 2010 Part One", "Movie (2010)", true},
          {"Movie 2010 Part", "Movie (2010)", true},
          // Seasons, samples and trailers are kept too.
          {"Show 2010 S01 1080p", "Show (2010) S01", true},
          {"Show 2010 S2 1080p", "Show (2010) S02", true},
          {"Show 2010 Season 1 1080p", "Show (2010) S01", true},
          {"Show 2010 Season 01", "Show (2010) S01", true},
          {"Show (2010) S01", "Show (2010) S01", false},
          {"the matrix 1999 sample", "the matrix (1999) sample", true},
          {"Movie 2010 1080p TRAILER x", "Movie (2010) TRAILER", true},
          {"Show 2005 S01E02 720p sample", "Show (2005) S01E02 sample", true},
          {"Movie 2010 Seasonal", "Movie (2010)", true},
          // Glued to a tag or to other letters: "720p-Sample".
          {"Movie 2010 720p-Sample", "Movie (2010) Sample", true},
          {"Movie 2010 (Été-trailer)", "Movie (2010) trailer", true},
      },
      2020);
}

TEST(YearRule, WithTheBoundFromTheClock) {
  EXPECT_EQ(rules::HighestValidYear(2026), 2027);
  EXPECT_EQ(rules::HighestValidYear(2003), 2020);
  ExpectYears(
      {
          {"Movie 2024 1080p", "Movie (2024)", true},
          {"Movie 2027", "Movie (2027)", true},
          {"Movie 2028", "Movie 2028", false},
          {"Movie 2160p", "Movie 2160p", false},
      },
      2027);
}

TEST(CaseRule, OnlyWholeUpperOrLowerStems) {
  struct Case {
    const char* in;
    bool from_upper, from_lower;
    const char* out;
  } cases[] = {
      {"THE BIG MOVIE", true, true, "The Big Movie"},
      {"THE BIG MOVIE", false, true, "THE BIG MOVIE"},
      {"the big movie", true, false, "the big movie"},
      {"the big movie", false, true, "The Big Movie"},
      {"The big movie", true, true, "The big movie"},
      {"2001 (2010)", true, true, "2001 (2010)"},
      {"", true, true, ""},
      {"o'brien", false, true, "O'Brien"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rules::ApplyCaseRule(c.in, c.from_upper, c.from_lower,
                                   text::AsciiOnlyMapping()),
              c.out)
        << c.in;
  }
}

TEST(CleanName, WholeNames) {
  rules::NameRules none;
  rules::NameRules year;
  year.year_rule = true;
  rules::NameRules mixed;
  mixed.from_upper = mixed.from_lower = true;
  rules::NameRules all = mixed;
  all.year_rule = all.term_rule = true;
  struct Case {
    const char* listed;
    const rules::NameRules& rules;
    const char* want;
  } cases[] = {
      {"Some.Movie.2010.XviD.avi", year, "Some Movie (2010).avi"},
      {"Some.Movie.2010.720p.x264.mkv", year, "Some Movie (2010).mkv"},
      {"Movie.2010", year, "Movie.2010"},
      {"THE BIG MOVIE.AVI", mixed, "The Big Movie.AVI"},
      {"Movie.XviD.2010.DVDRip.avi", all, "Movie (2010).avi"},
      {".avi", all, ""},
      {"Clean Name.avi", none, "Clean Name.avi"},
      {"Some_Folder", none, "Some Folder"},
      {"._..txt", none, ""},
      // A final period is no extension: the new name goes without it.
      {"Movie.2010.720p.", year, "Movie (2010)"},
      {"Movie (2010).", none, "Movie (2010)"},
      {"..", none, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rules::CleanName(c.listed, c.rules).name, c.want) << c.listed;
  }
  // Subtitles keep their language and flags with the extension.
  struct Subtitle {
    const char* listed;
    const char* want;
  } subtitles[] = {
      {"The.Matrix.1999.1080p.BluRay.x264-GROUP.en.srt", "The Matrix (1999).en.srt"},
      {"The.Matrix.1999.1080p.BluRay.x264-GROUP.de.srt", "The Matrix (1999).de.srt"},
      {"Show.S01E01.720p.eng.forced.srt", "Show S01E01.eng.forced.srt"},
      {"Movie (2010).en.srt", "Movie (2010).en.srt"},
      {"Movie.2010.pt-BR.ass", "Movie (2010).pt-BR.ass"},
      {"Movie.2010.zh-Hans.SDH.SRT", "Movie (2010).zh-Hans.SDH.SRT"},
      {"Movie.2010.English.vtt", "Movie (2010).English.vtt"},
      {"Iron.Man.srt", "Iron Man.srt"},
      {"Movie.2010.en.mkv", "Movie (2010).mkv"},  // not a subtitle
      {"Movie.2010.xx.srt", "Movie (2010).srt"},  // no language
      {"en.srt", "en.srt"},
  };
  rules::NameRules ye = year;
  ye.episode_rule = true;
  for (const Subtitle& c : subtitles)
    EXPECT_EQ(rules::CleanName(c.listed, ye).name, c.want) << c.listed;
  rules::CleanedName flags = rules::CleanName("Movie.XviD.2010.DVDRip.avi", all);
  EXPECT_TRUE(flags.year_changed);
  EXPECT_TRUE(flags.terms_changed);
}

}  // namespace
