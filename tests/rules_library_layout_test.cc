#include "rules/library_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/clean_name.h"
#include "rules/side_files.h"
#include "rules/version_suffix.h"

namespace {

// Where each listed name of one download folder goes, as the run plans it:
// "/v" names, copies told apart, side files following their video, then
// the place of each in a library that holds the folders given.
std::vector<std::string> Placed(const std::vector<std::string>& listed,
                                const std::vector<std::string>& shows = {}) {
  rules::NameRules r;
  r.video_rule = true;
  r.highest_year = 2026;
  r.keep_reading = true;
  std::vector<rules::VersionEntry> entries;
  std::vector<rules::CleanedName> cleaned;
  for (const std::string& name : listed) cleaned.push_back(rules::CleanName(name, r));
  for (std::size_t i = 0; i < listed.size(); ++i)
    entries.push_back({listed[i], false, cleaned[i].name});
  rules::SeparateVersions(entries, r);
  rules::FollowVideos(entries);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const rules::VersionEntry& e = entries[i];
    const rules::LibraryPlace p = rules::PlaceInLibrary(
        *cleaned[e.video < entries.size() ? e.video : i].reading, rules::FinalName(e), r);
    std::string path;
    if (p.kind == rules::LibraryKind::kNone) {
      path.append("- ").append(p.why);
    } else {
      path.append(p.kind == rules::LibraryKind::kFilm ? rules::kMoviesFolder
                                                      : rules::kShowsFolder);
      const rules::FolderMatch m =
          rules::MatchFolder(rules::OwnTitleFolder(p), shows);
      path.append("/").append(m.name);
      if (!m.other.empty()) path.append("|").append(m.other);
      path.append("/");
      if (!p.inside.empty()) path.append(p.inside).append("/");
      path.append(p.name);
    }
    out.push_back(std::move(path));
  }
  return out;
}

TEST(LibraryLayout, PlacesEachKindOfName) {
  struct Case {
    std::vector<std::string> listed;
    std::vector<std::string> want;
    std::vector<std::string> shows = {};  // folders of TV/ that exist
  };
  const Case cases[] = {
      // A film, its subtitle and nfo beside it.
      {{"Prestige.Motors.2016.1080p.BluRay.x264-GRP.mkv",
        "Prestige.Motors.2016.1080p.BluRay.x264-GRP.eng.forced.srt",
        "Prestige.Motors.2016.1080p.BluRay.x264-GRP.nfo"},
       {"Movies/Prestige Motors (2016)/Prestige Motors (2016).mkv",
        "Movies/Prestige Motors (2016)/Prestige Motors (2016).eng.forced.srt",
        "Movies/Prestige Motors (2016)/Prestige Motors (2016).nfo"}},
      // Copies keep their versions; parts keep theirs.
      {{"Film.2010.1080p.BluRay.mkv", "Film.2010.2160p.WEB.mkv"},
       {"Movies/Film (2010)/Film (2010) - 1080p.mkv",
        "Movies/Film (2010)/Film (2010) - 2160p.mkv"}},
      {{"Long.Film.1999.Part.2.DVDRip.avi"},
       {"Movies/Long Film (1999)/Long Film (1999) - pt2.avi"}},
      // Extras in their folders, by their own words or their whole name.
      {{"Dark.Knight.2008.Featurette.Gotham.Uncovered.720p.mkv",
        "Dark.Knight.2008.Trailer.1080p.mkv",
        "Dark.Knight.2008.Teaser.mp4",
        "Dark.Knight.2008.Deleted.Scenes.Joker.720p.mkv"},
       {"Movies/Dark Knight (2008)/Featurettes/Gotham Uncovered.mkv",
        "Movies/Dark Knight (2008)/Trailers/Dark Knight (2008)-trailer - 1080p.mkv",
        "Movies/Dark Knight (2008)/Trailers/Dark Knight (2008)-trailer.mp4",
        "Movies/Dark Knight (2008)/Deleted Scenes/Joker.mkv"}},
      // Samples beside their film, however written; a sample is no second
      // copy that the film's version must tell apart.
      {{"Film.2010.1080p.mkv", "Film.2010.1080p-sample.mkv",
        "Other.Film.2011.sample.mkv"},
       {"Movies/Film (2010)/Film (2010).mkv",
        "Movies/Film (2010)/Film (2010)-sample.mkv",
        "Movies/Other Film (2011)/Other Film (2011)-sample.mkv"}},
      // A sample alone is no film: its mark stays where the name's reading
      // takes it for a tag's.
      {{"Film.2010.1080p-sample.mkv", "Lone.2012.720p.x264-GRP-sample.mkv",
        "Lone.Trailer.2013.1080p.trailer.mkv"},
       {"Movies/Film (2010)/Film (2010)-sample.mkv",
        "Movies/Lone (2012)/Lone (2012)-sample.mkv",
        "Movies/Lone Trailer (2013)/Trailers/Lone Trailer (2013)-trailer.mkv"}},
      // A lone sample whose word is glued to its mark: by the video its
      // name names.
      {{"Show S01E01-sample.mkv", "Lone Film 2013-sample.mkv"},
       {"TV/Show/Season 01/Show S01E01-sample.mkv",
        "Movies/Lone Film (2013)/Lone Film (2013)-sample.mkv"}},
      // Episodes, specials, runs of episodes, with and without a year.
      {{"Show.Name.S01E02.720p.HDTV.x264-GRP.mkv",
        "Show.Name.S01E02.720p.HDTV.x264-GRP.en.srt",
        "Show.Name.2005.S00E01.Special.mkv", "Show.Name.S02E01E02.mkv",
        "Show Name 1x03.avi"},
       {"TV/Show Name/Season 01/Show Name S01E02.mkv",
        "TV/Show Name/Season 01/Show Name S01E02.en.srt",
        "TV/Show Name (2005)/Season 00/Show Name (2005) S00E01.mkv",
        "TV/Show Name/Season 02/Show Name S02E01-E02.mkv",
        "TV/Show Name/Season 01/Show Name S01E03.avi"}},
      // Daily shows by year, anime by show alone.
      {{"The.Daily.Talk.2019.03.14.Guest.720p.mkv",
        "[SubGroup] Anime Show - 07 [1080p].mkv"},
       {"TV/The Daily Talk/Season 2019/The Daily Talk 2019-03-14.mkv",
        "TV/Anime Show/Anime Show - 07.mkv"}},
      // A name without a year goes to the one dated folder of its show;
      // with two, or with its year, to its own.
      {{"Show.S01E05.mkv"},
       {"TV/show (2005)/Season 01/Show S01E05.mkv"},
       {"Other (2001)", "show (2005)"}},
      {{"Show.S01E05.mkv"}, {"TV/Show (2005)|Show (2010)/Season 01/Show S01E05.mkv"},
       {"Show (2005)", "Show (2010)"}},
      {{"Show.2010.S01E05.mkv"},
       {"TV/SHOW (2010)/Season 01/Show (2010) S01E05.mkv"},
       {"Show (2005)", "SHOW (2010)"}},
      // Names with no place stay, saying why.
      {{"holiday_clip.mp4", "Show.S02.Complete.mkv", "readme.txt"},
       {"- no year or episode mark to file it by, left where it is",
        "- a season without an episode to file it by, left where it is",
        "- no year or episode mark to file it by, left where it is"}},
      // Titles beyond ASCII stay as they are.
      {{"Amélie.2001.1080p.mkv"},
       {"Movies/Amélie (2001)/Amélie (2001).mkv"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Placed(c.listed, c.shows), c.want) << c.listed.front();
  }
}

// The library's folder a new file takes: the one its name is in all but
// case, spacing, an id tag and a season's zeros, with a year that agrees;
// where two could be it, none ("a|b").
TEST(LibraryLayout, MatchesTheFoldersThatExist) {
  struct Case {
    const char* own;
    std::vector<std::string> existing;
    const char* want;
  } cases[] = {
      {"Season 02", {"Season 1", "Season 2"}, "Season 2"},
      {"Season 00", {"Specials"}, "Specials"},
      {"Season 10", {"Season 1"}, "Season 10"},
      {"Season 2019", {"season 2019"}, "season 2019"},
      {"Cubicle Life US", {"Cubicle Life (US)"}, "Cubicle Life (US)"},
      {"Doctor Who (2005)", {"Doctor Who"}, "Doctor Who"},
      {"Doctor Who", {"Doctor Who (2005)"}, "Doctor Who (2005)"},
      {"Doctor Who", {"Doctor Who (1963)", "Doctor Who (2005)"},
       "Doctor Who (1963)|Doctor Who (2005)"},
      {"Doctor Who (2005)", {"Doctor Who (1963)", "Doctor Who (2005)"},
       "Doctor Who (2005)"},
      {"Parasite (2019)", {"Parasite (2019) {tmdb-496243}"},
       "Parasite (2019) {tmdb-496243}"},
      {"Parasite (2019)", {"Parasite (2019) [imdbid-tt6751668]", "Parasite"},
       "Parasite (2019) [imdbid-tt6751668]"},
      // A year must agree; a folder without one takes a dated name only
      // where it is the only folder of that title.
      {"Dune (2021)", {"Dune (1984)"}, "Dune (2021)"},
      {"Dune (2021)", {"Dune (1984)", "Dune"}, "Dune (2021)"},
      {"Dune (2021)", {"Dune {tmdb-1}", "Dune [imdbid-tt2]"},
       "Dune {tmdb-1}|Dune [imdbid-tt2]"},
      {"quarry", {"Quarry"}, "Quarry"},
      {"Up (2009)", {"Upgrade (2018)", "Up!"}, "Up!"},
      {"(2009)", {"Moon (2009)"}, "(2009)"},
  };
  for (const Case& c : cases) {
    const rules::FolderMatch m = rules::MatchFolder(c.own, c.existing);
    EXPECT_EQ(m.other.empty() ? m.name : m.name + "|" + m.other, c.want)
        << c.own;
  }
}

}  // namespace
