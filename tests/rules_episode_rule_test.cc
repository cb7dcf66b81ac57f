#include <gtest/gtest.h>

#include "rules/clean_name.h"
#include "rules/episode_rule.h"

namespace {

TEST(EpisodeRule, CutsAfterTheLastMarker) {
  struct Case {
    const char* in;
    const char* out;
  } stems[] = {
      {"The Walking Dead S05E03 720p HDTV x264-ASAP (ettv)", "The Walking Dead S05E03"},
      {"Californication 2x05 Vaginatown HDTV XviD-0TV", "Californication S02E05"},
      {"show s1e2", "show S01E02"},
      {"Show S01E02E03 Title", "Show S01E02-E03"},
      {"Show (S01E02) Title", "Show S01E02"},
      {"Show S01E01 Recap S01E02 Title", "Show S01E01 Recap S01E02"},  // the last
      {"Show S01E02", "Show S01E02"},
      {"Show (2014) S01E04", "Show (2014) S01E04"},
      // Kept words that would read with the written marker as a run.
      {"20 S6 (e0 S6 (e )59 )59E", "20 S6 (e0 S6 (e )59 )59E"},
      {"S01E02 Title", "S01E02 Title"},  // the first word is never taken
      {"S01E02", "S01E02"},
      {"Movie 1920x1080 x264", "Movie 1920x1080 x264"},
      {"Room 1x1 Extra", "Room S01E01"},
      {"Relay 4x100 Final", "Relay 4x100 Final"},
      {"Movie Part 2 CD1", "Movie Part 2 CD1"},  // parts are not episodes
      // Dates are daily shows' episodes.
      {"Evening News Hour 2019 03 14 Guest 720p", "Evening News Hour 2019-03-14"},
      {"Evening News Hour 2019-03-15 Guest", "Evening News Hour 2019-03-15"},
      {"Evening News Hour 2019-03-15", "Evening News Hour 2019-03-15"},
      {"News 2019 03 14 Recap S01E02 x", "News 2019 03 14 Recap S01E02"},
      {"News 2019 13 14 x", "News 2019 13 14 x"},
      // Without an episode, the season stays.
      {"Harbor Lights S02 1080p WEB-DL", "Harbor Lights S02"},
      {"Harbor Lights Season 2 1080p", "Harbor Lights S02"},
      {"Harbor Lights S02 x S01E03 y", "Harbor Lights S02 x S01E03"},
      {"S02 Lights", "S02 Lights"},
      // A season word before an episode in another spelling is no season
      // pack: every episode keeps its number.
      {"Show Season 1 Episode 2 Title", "Show S01E02"},
      {"Show S6 Ep5 720p", "Show S06E05"},
      {"Show s1 e3", "Show S01E03"},
      {"(Grp) Blue Lantern S2 - 07 (1080p)", "(Grp) Blue Lantern S02E07"},
      {"Show S02E09 E10 x", "Show S02E09-E10"},
      {"show s03e01 s03e02 720p", "show S03E01-E02"},
      // Samples and trailers after the marker stay.
      {"Show S01E02 720p sample", "Show S01E02 sample"},
      {"Show S01E02 (Trailer) x", "Show S01E02 Trailer"},
      // Groups the dropped words close are closed after the marker.
      {"Show (Pilot S01E02) x", "Show (Pilot S01E02)"},
      {"Show (A (B S01E02 x)) y", "Show (A (B S01E02))"},
      {"Show (A S01E02 (x)", "Show (A S01E02"},  // the name never closed it
      {"", ""},
  };
  for (const Case& c : stems) {
    rules::EpisodeResult r = rules::ApplyEpisodeRule(c.in, 2026);
    EXPECT_EQ(r.stem, c.out) << c.in;
    EXPECT_EQ(r.changed, std::string(c.in) != c.out) << c.in;
    EXPECT_FALSE(rules::ApplyEpisodeRule(r.stem, 2026).changed) << c.in;
  }

  // Whole names, after the year rule and before the term removal.
  rules::NameRules e;
  e.episode_rule = true;
  rules::NameRules ye = e;
  ye.year_rule = true;
  ye.highest_year = 2026;
  rules::NameRules yek = ye;
  yek.term_rule = true;
  struct Name {
    const char* listed;
    const rules::NameRules& rules;
    const char* want;
    bool year_changed, episode_changed;
  } names[] = {
      {"The.Walking.Dead.S05E03.720p.HDTV.x264-ASAP[ettv].mkv", e,
       "The Walking Dead S05E03.mkv", false, true},
      {"Californication.2x05.Vaginatown.HDTV.XviD-0TV.avi", e,
       "Californication S02E05.avi", false, true},
      {"The.Flash.2014.S01E04.HDTV.x264-LOL[ettv].mkv", ye,
       "The Flash (2014) S01E04.mkv", true, false},
      {"The.Flash.2014.S01E04.HDTV.x264-LOL[ettv].mkv", e,
       "The Flash 2014 S01E04.mkv", false, true},
      // A later year among the dropped words: the year rule runs again.
      {"Doctor.Who.2005.S01E01.Rose.1963.720p.mkv", ye,
       "Doctor Who (2005) S01E01.mkv", true, true},
      {"Show.S01E02.Title.1999.720p.mkv", ye, "Show S01E02.mkv", true, true},
      {"Show.XviD.S01E02.mkv", yek, "Show S01E02.mkv", false, false},
      {"Clean Show S01E02.mkv", yek, "Clean Show S01E02.mkv", false, false},
      {"No.Marker.Here.720p.mkv", e, "No Marker Here 720p.mkv", false, false},
  };
  for (const Name& n : names) {
    rules::CleanedName got = rules::CleanName(n.listed, n.rules);
    EXPECT_EQ(got.name, n.want) << n.listed;
    EXPECT_EQ(got.year_changed, n.year_changed) << n.listed;
    EXPECT_EQ(got.episode_changed, n.episode_changed) << n.listed;
  }
}

}  // namespace
