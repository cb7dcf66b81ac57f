#include <gtest/gtest.h>

#include <vector>

#include "rules/term_engine.h"
#include "rules/term_removal.h"
#include "rules/term_table.h"

namespace {

TEST(TermRemoval, Examples) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Movie XviD DVDRip", "Movie"},
      {"Movie", "Movie"},
      {"XviD Movie", "XviD Movie"},
      {"Movie AC3 XviD Extra", "Movie Extra"},
      {"My MOVIE XVID", "My MOVIE"},
      {"Movie HD", "Movie"},
      {"Movie HDD", "Movie HDD"},
      {"Movie xvidx", "Movie xvidx"},
      {"Movie DVDRip-GRP Extra", "Movie Extra"},
      {"Movie dvdrip+grp", "Movie"},
      {"Movie x264-GRP", "Movie"},
      {"Movie 720p-DHD", "Movie"},
      {"Movie xvid xvid", "Movie xvid"},
      {"Movie xvid-a xvid-b", "Movie xvid-b"},
      {"Movie bdrip bdrip", "Movie"},
      {"Movie (XviD)", "Movie"},
      {"Movie (HDTV)", "Movie"},
      {"Movie www Name org", "Movie Name"},
      {"Movie mvgroup forum", "Movie"},
      {"Movie mvgroup forums x", "Movie x"},
      {"Movie TVRip-GRP", "Movie"},  // the prefix row "tvrip-*"
      {"Movie (eztv re) x", "Movie x"},
      {"Movie eztv re forums", "Movie"},
      {"", ""},
      {"Movie {1337x}-Tag", "Movie"},
      {"Movie hdtv-a hdtv-b hdtv", "Movie hdtv-b"},
      {"Movie ÄRGER xvid", "Movie ÄRGER"},
  };
  for (const Case& c : cases) {
    rules::TermResult r = rules::ApplyTermRemoval(c.in);
    EXPECT_EQ(r.stem, c.out) << c.in;
    EXPECT_EQ(r.changed, std::string(c.in) != c.out) << c.in;
  }
}

TEST(TermTable, RowsAreTermsOfTheOneMatcher) {
  std::size_t prefix_rows = 0;
  for (std::string_view row : rules::kTermRows) {
    EXPECT_EQ(row.find_first_of(" ,\"ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string_view::npos)
        << row;
    const rules::Term term = rules::TermFromRow(row);
    EXPECT_EQ(term.prefix, row.back() == '*') << row;
    if (term.prefix) ++prefix_rows;
  }
  EXPECT_EQ(prefix_rows, 16u);
  // "_" is the space between words; a prefix's last word only begins one.
  EXPECT_EQ(rules::TermFromRow("eztv_re").search, " eztv re ");
  EXPECT_EQ(rules::TermFromRow("x264-*").search, " x264-");
}

// The matcher /v reads tags with: the longest term at a word, brackets
// aside, case-blind, a prefix's last word begun.
TEST(TermEngine, MatchAtAWord) {
  const rules::TermIndex index = rules::IndexTerms(
      {rules::TermFromRow("web"), rules::TermFromRow("web_dl"),
       rules::TermFromRow("x264-*"), rules::TermFromRow("caf\xC3\xA9")});
  struct Case {
    std::vector<std::string_view> words;
    std::size_t at, taken;
  } cases[] = {
      {{"Movie", "WEB", "DL"}, 1, 2},
      {{"Movie", "(Web)"}, 1, 1},
      {{"Movie", "web", "rip"}, 1, 1},
      {{"Movie", "x264-GRP"}, 1, 1},
      {{"Movie", "x26"}, 1, 0},
      {{"Movie", "caf\xC3\xA9"}, 1, 1},
      {{"Movie", "webs"}, 1, 0},
      {{"Movie"}, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rules::MatchTermAt(c.words, c.at, index).words, c.taken)
        << c.words[0] << " at " << c.at;
}

// The rule only ever shortens a stem, never empties one and never touches
// its first word.
TEST(TermRemoval, InvariantsOverGeneratedStems) {
  const char* words[] = {"Movie", "xvid", "XviD-x", "hd", "(hdtv)", "a",
                         "mvgroup", "forum", "720p", "dvdrip+", "2010"};
  unsigned seed = 7;
  for (int round = 0; round < 5000; ++round) {
    std::string stem;
    seed = seed * 1103515245 + 12345;
    int count = 1 + (seed >> 16) % 6;
    for (int i = 0; i < count; ++i) {
      seed = seed * 1103515245 + 12345;
      if (i) stem += ' ';
      stem += words[(seed >> 16) % std::size(words)];
    }
    rules::TermResult r = rules::ApplyTermRemoval(stem);
    SCOPED_TRACE(stem + " -> " + r.stem);
    EXPECT_FALSE(r.stem.empty());
    EXPECT_LE(r.stem.size(), stem.size());
    EXPECT_EQ(r.changed, r.stem != stem);
    EXPECT_EQ(r.stem.substr(0, r.stem.find(' ')), stem.substr(0, stem.find(' ')));
  }
}

}  // namespace
