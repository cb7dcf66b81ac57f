#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "rules/clean_name.h"
#include "rules/side_files.h"
#include "rules/version_suffix.h"
#include "rules/video_tags.h"

namespace {

rules::NameRules Video(bool mixed_case = false) {
  rules::NameRules r;
  r.video_rule = true;
  r.from_upper = r.from_lower = mixed_case;
  r.highest_year = 2026;
  return r;
}

TEST(VideoRule, LibraryNames) {
  struct Case {
    const char* listed;
    const char* want;
  } cases[] = {
      // Films.
      {"Prestige.Motors.2016.1080p.BluRay.x264-GRP.mkv", "Prestige Motors (2016).mkv"},
      {"2001.A.Space.Odyssey.1968.1080p.mkv", "2001 A Space Odyssey (1968).mkv"},
      {"Blade.Runner.2049.2017.2160p.mkv", "Blade Runner 2049 (2017).mkv"},
      {"1917.2019.1080p.mkv", "1917 (2019).mkv"},
      {"(1987) Silver Coast.mkv", "Silver Coast (1987).mkv"},
      {"(1987) Silver Coast 2001.mkv", "(1987) Silver Coast (2001).mkv"},
      {"(2010) (2011).mkv", "(2010) (2011).mkv"},
      {"Movie Title (2010) [1080p] [BluRay] [5.1] [YTS.MX].mp4", "Movie Title (2010).mp4"},
      {"Quiet Roads (Drama 1971).mkv", "Quiet Roads (1971).mkv"},
      {"Movie.2010.Part.2.720p.mkv", "Movie (2010) - pt2.mkv"},
      {"Movie.2010.DVDRip.XviD-GRP.cd2.avi", "Movie (2010) - pt2.avi"},
      {"the.matrix.1999.sample.mkv", "the matrix (1999) sample.mkv"},
      {"Movie.2010.1080p.BluRay.x264-GRP-sample.mkv", "Movie (2010) sample.mkv"},
      {"Movie.Title.2010.Trailer.mkv", "Movie Title (2010)-trailer.mkv"},
      // Title words that are also tags stay; tag-only words before the
      // year go.
      {"Summer.Festival.2011.720p.mkv", "Summer Festival (2011).mkv"},
      {"The.Good.German.2006.1080p.mkv", "The Good German (2006).mkv"},
      {"Night.Harbor.EXTENDED.2014.German.DL.1080p.BluRay.x264-GRP.mkv",
       "Night Harbor (2014).mkv"},
      {"Movie.XviD.2010.DVDRip.avi", "Movie (2010).avi"},
      {"Quiet.Lake.1080p.BluRay.2012.x264.mkv", "Quiet Lake (2012).mkv"},
      {"Movie.Name.Directors.Cut.2012.1080p.mkv", "Movie Name (2012).mkv"},
      {"Movie.Title.FRENCH.2010.1080p.mkv", "Movie Title (2010).mkv"},
      // No year, no marker: the words before the first tag.
      {"Lighthouse.German.DL.AC3.Dubbed.BluRay.x264-GRP.mkv", "Lighthouse.mkv"},
      {"Charlotte's Web.mkv", "Charlotte's Web.mkv"},
      {"Home Video.mkv", "Home Video.mkv"},
      // Leading groups and sites.
      {"www.SomeSite.org - Movie.Name.2012.720p.mkv", "Movie Name (2012).mkv"},
      {"(SiteName.com) Movie.Name.2012.720p.mkv", "Movie Name (2012).mkv"},
      {"[Group] Movie.Name.2012.720p.mkv", "Movie Name (2012).mkv"},
      // Episodes, every spelling.
      {"Show.S01E02.Episode.Title.720p.HDTV.x264-LOL.mkv", "Show S01E02.mkv"},
      {"Doctor.Who.2005.S01E01.Rose.720p.mkv", "Doctor Who (2005) S01E01.mkv"},
      {"Show.S01E01E02.720p.mkv", "Show S01E01-E02.mkv"},
      {"Show.S01E01-E02.720p.mkv", "Show S01E01-E02.mkv"},
      {"Show.S01E01-02.720p.mkv", "Show S01E01-E02.mkv"},
      {"Show.S03E01.S03E02.720p.mkv", "Show S03E01-E02.mkv"},
      {"Show.S02E09.E10.720p.mkv", "Show S02E09-E10.mkv"},
      {"Show.1x01-1x02.720p.mkv", "Show S01E01-E02.mkv"},
      {"Show.S01.E02.720p.mkv", "Show S01E02.mkv"},
      {"Show.S01EP02.720p.mkv", "Show S01E02.mkv"},
      {"Show.S6.Ep5.720p.mkv", "Show S06E05.mkv"},
      {"Show Season 1 Episode 2 Title.mkv", "Show S01E02.mkv"},
      {"Show Name - S01E02 - Episode Title.mkv", "Show Name S01E02.mkv"},
      {"24.S01E01.720p.mkv", "24 S01E01.mkv"},
      {"Show.S01E01.720p.HDTV.x264-GRP.Sample.mkv", "Show S01E01 Sample.mkv"},
      {"Show.S03E01.S04E02.mkv", "Show S03E01.mkv"},  // another season
      // Daily shows and season packs.
      {"Evening.News.Hour.2019.03.14.Guest.720p.mkv", "Evening News Hour 2019-03-14.mkv"},
      {"Some.Show.2019-03-14.Guest.mkv", "Some Show 2019-03-14.mkv"},
      // Anime.
      {"[Group] Show Name - 07 [1080p][ABCD1234].mkv", "Show Name - 07.mkv"},
      {"[Group] Show Name - 07v2 [1080p][ABCD1234].mkv", "Show Name - 07.mkv"},
      {"[SubsPlease] Some Anime - 1001 (1080p) [ABCDEF12].mkv", "Some Anime - 1001.mkv"},
      {"[Group] Blue Lantern S2 - 07 [1080p].mkv", "Blue Lantern S02E07.mkv"},
      {"\xE3\x80\x90Group\xE3\x80\x91Show Name - 12 [1080p].mkv", "Show Name - 12.mkv"},
      {"Movie - 2010.mkv", "Movie (2010).mkv"},  // a year, not an episode
      // Subtitles keep their language.
      {"The.Matrix.1999.1080p.BluRay.x264-GROUP.en.srt", "The Matrix (1999).en.srt"},
      {"Show.S01E01.720p.eng.forced.srt", "Show S01E01.eng.forced.srt"},
      // Already library names: unchanged.
      {"Film (2010) - Extended.mkv", "Film (2010) - Extended.mkv"},
      {"Show Name - 07 - 1080p.mkv", "Show Name - 07 - 1080p.mkv"},
      {"S01E01.mkv", "S01E01.mkv"},
      {".mkv", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rules::CleanName(c.listed, Video()).name, c.want) << c.listed;

  // Folders, whole.
  struct Folder {
    const char* listed;
    const char* want;
  } folders[] = {
      {"Red.Canyon.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-GRP", "Red Canyon (2021)"},
      {"Show.2010.S01.1080p.BluRay.x264-GRP", "Show (2010) S01"},
      {"Harbor.Lights.S02.1080p.WEB-DL", "Harbor Lights S02"},
      {"Show.Name.Season.1.1080p", "Show Name S01"},
  };
  for (const Folder& f : folders)
    EXPECT_EQ(rules::CleanName(f.listed, Video(), true).name, f.want) << f.listed;

  // With /m, the case is judged on what /v leaves; /y /e /k add nothing.
  rules::NameRules all = Video(true);
  all.year_rule = all.episode_rule = all.term_rule = true;
  EXPECT_EQ(rules::CleanName("THE.MATRIX.1999.1080p.BluRay.x264-GRP.mkv", all).name,
            "The Matrix (1999).mkv");
  EXPECT_EQ(rules::CleanName("prestige.motors.2016.1080p.mkv", all).name,
            "Prestige Motors (2016).mkv");
  EXPECT_TRUE(rules::CleanName("Show.S01E02.720p.mkv", all).video_changed);
  EXPECT_FALSE(rules::CleanName("Show S01E02.mkv", all).video_changed);
}

// A second run changes nothing, over names made of the parts release names
// are made of.
// After the mark only what names another file or video stays; everything
// else goes, known or not; and the forms the reading reads without the
// usual marks.
TEST(VideoRule, WhatFollowsTheMarkGoes) {
  struct Case {
    const char* listed;
    const char* want;
  } cases[] = {
      // Audio layouts, sizes, groups, episode titles with numbers, ids,
      // editions, crc and site words.
      {"River.Song.2018.1080p.BluRay.DTS-HD.MA.7.1-ABC.mkv", "River Song (2018).mkv"},
      {"River Song 2018 720p WEB-DL DDP2 0 H 264-ABC.mkv", "River Song (2018).mkv"},
      {"Night.Desk.S03E07.Room.101.1080p.WEB.x264-ABC.mkv", "Night Desk S03E07.mkv"},
      {"River Song (2018) (2160p WEB x265 HDR - z9rt).mkv", "River Song (2018).mkv"},
      {"[ABC] Cloud Arc - 11 [1080p Hi10].mkv", "Cloud Arc - 11.mkv"},
      {"[ABC] Cloud Arc - S01E11 (24) [720p].mkv", "Cloud Arc S01E11.mkv"},
      {"Night.Desk.S02E04.Blue.Hour.Part.1.720p.HDTV.mkv", "Night Desk S02E04.mkv"},
      {"River.Song.2018.1080.WEB-DL.mkv", "River Song (2018).mkv"},
      {"Night Desk - S02E02 [www.site2020.org].mkv", "Night Desk S02E02.mkv"},
      {"Night Desk (S02E01-03 of 10) Blue.mkv", "Night Desk S02E01-E03.mkv"},
      {"Night Desk S01E05 (3 June 2020) HDTV.mkv", "Night Desk S01E05.mkv"},
      {"Morning Brief 2022_01_02_07_00_00.mkv", "Morning Brief 2022-01-02.mkv"},
      {"River Song (2018) [720p] [tt1234567].mkv", "River Song (2018).mkv"},
      {"River.Song.1990.25th.Anniversary.Edition.720p.mkv", "River Song (1990).mkv"},
      // An IMDb id in the title goes too, but from a title of nothing else.
      {"River.Song.[tt1234567].2018.720p.mkv", "River Song (2018).mkv"},
      {"tt1234567.River.Song.2018.mkv", "River Song (2018).mkv"},
      {"River Song tt12345678.mkv", "River Song.mkv"},
      {"tt1234567.mkv", "tt1234567.mkv"},
      {"River.Song.(tt1234567.x).2018.mkv", "River Song (tt1234567 x) (2018).mkv"},
      {"tt1234567.(tt7654321).River.Song.mkv", "River Song.mkv"},
      // Where a "-" or a group would then end or open the title, all stay.
      {"River.Song.-.tt1234567.2018.mkv", "River Song - tt1234567 (2018).mkv"},
      {"tt1234567.(Grp).River.Song.2018.mkv", "tt1234567 (Grp) River Song (2018).mkv"},
      {"[ABC]_Cloud_Arc_-_09_-_1080p_-_DEADBEEF.mkv", "Cloud Arc - 09.mkv"},
      // A picture size and audio channels are never an episode.
      {"Cloud Arc [BDRip 1920x1040 AVC].mkv", "Cloud Arc.mkv"},
      {"Cloud Arc (2019) (BDRip x264 AC3 5.1x3+2.0x1).mkv", "Cloud Arc (2019).mkv"},
      // Kept: what names another file.
      {"River.Song.2018.Part.2.720p.mkv", "River Song (2018) - pt2.mkv"},
      {"Night.Desk.S02E04.Part.1.720p.mkv", "Night Desk S02E04 - pt1.mkv"},
      {"Clip.2011.Sample.mkv", "Clip (2011) Sample.mkv"},
      // Episodes without the usual marks.
      {"Night.Desk.304.HDTV.x264.mkv", "Night Desk S03E04.mkv"},
      {"Night.Desk.1112.720p.PDTV.mkv", "Night Desk S11E12.mkv"},
      {"Room.237.1080p.BluRay.mkv", "Room 237.mkv"},
      {"Cloud Arc - E04-06.mkv", "Cloud Arc - 04-06.mkv"},
      {"Cloud Arc Episode 21 (720p).mkv", "Cloud Arc - 21.mkv"},
      {"Saga.Episode.5.The.Return.1980.mkv", "Saga Episode 5 The Return (1980).mkv"},
      {"Night_Desk-s02-e03.mkv", "Night Desk S02E03.mkv"},
      {"Night.Desk.S04xE02.mkv", "Night Desk S04E02.mkv"},
      {"Night.Desk.03e04.mkv", "Night Desk S03E04.mkv"},
      {"Night.Desk.S02E08v3.mkv", "Night Desk S02E08.mkv"},
      {"Night Desk 3 x 05.mkv", "Night Desk S03E05.mkv"},
      {"Night.Desk.4x02+03.mkv", "Night Desk S04E02-E03.mkv"},
      {"Night Desk 2x07-720p.avi", "Night Desk S02E07.avi"},
      {"[ABC][Cloud_Arc][07][720P].mkv", "Cloud Arc - 07.mkv"},
      {"[ABC] 03 Cloud Arc (1080p).mkv", "Cloud Arc - 03.mkv"},
      {"[ABC] 300 Riders.mkv", "300 Riders.mkv"},
      {"Night.Desk.UK.S01E02.mkv", "Night Desk (UK) S01E02.mkv"},
      {"Night.Desk.Series.3.Part.4.HDTV.mkv", "Night Desk S03E04.mkv"},
      {"Cloud Arc 2nd Season 08 (720p).mkv", "Cloud Arc S02E08.mkv"},
      {"Night.Desk.210.211.HDTV.mkv", "Night Desk S02E10-E11.mkv"},
      // Anime numbers: with the release's version, in runs, of a count;
      // the episode word and a broadcast's bracket before them go.
      {"[ABC]_Cloud_Arc_03v2_[DEADBEEF].mkv", "Cloud Arc - 03.mkv"},
      {"[ABC] Cloud Arc - 01v2-06 [BD].mkv", "Cloud Arc - 01-06.mkv"},
      {"Cloud_Arc_[07_of_12]_[jp].mkv", "Cloud Arc - 07.mkv"},
      {"Cloud.Arc.2of6.Title.x264.mkv", "Cloud Arc - 2.mkv"},
      {"[ABC] Cloud Arc Episode - 42 [720p].mkv", "Cloud Arc - 42.mkv"},
      {"[ABC] Cloud Arc (TV) - 05 [720p].mkv", "Cloud Arc - 05.mkv"},
      {"[ABC] Cloud Arc [Kaze] - 05 [720p].mkv", "Cloud Arc (Kaze) - 05.mkv"},
      {"[ABC] Cloud Arc (01-12) [1080p] (Batch).mkv", "Cloud Arc (01-12).mkv"},
      {"Cloud Arc (2015) Episode 12-13 [1080p].mkv", "Cloud Arc (2015) - 12-13.mkv"},
      {"Night-Desk-s02e03-1080p.mkv", "Night-Desk S02E03.mkv"},
      // A title without a mark ends before the groups and the release
      // version that come before its first tag; a name without a tag keeps
      // them, and a copy's number always stays.
      {"[ABC] Cloud Arc [Grp2] (1080p).mkv", "Cloud Arc.mkv"},
      {"Cloud Arc [v2] [R1] [Extras] [x265].mkv", "Cloud Arc.mkv"},
      {"Cloud Arc v2 [DEADBEEF].mkv", "Cloud Arc.mkv"},
      {"Holiday (Copy).mkv", "Holiday (Copy).mkv"},
      {"Holiday (2) 720p.mkv", "Holiday (2).mkv"},
      {"River Song (2018) WEB-DL - 1.5 GB - x264.mkv", "River Song (2018).mkv"},
  };
  for (const Case& c : cases) {
    const std::string once = rules::CleanName(c.listed, Video()).name;
    EXPECT_EQ(once, c.want) << c.listed;
    EXPECT_EQ(rules::CleanName(once, Video()).name, once) << c.listed;
  }
}

// The reading returned with the name: what a later stage takes instead of
// reading the name again.
TEST(VideoRule, ReadingComesWithTheName) {
  rules::NameRules asked = Video();
  asked.keep_reading = true;
  const rules::Reading film =
      rules::CleanName("River.Song.1990.Directors.Cut.1080p.BluRay.x264-ABC.[tt1234567].mkv",
                       asked)
          .reading.value();
  EXPECT_EQ(film.form, rules::NameForm::kFilm);
  EXPECT_EQ(film.title, "River Song");
  EXPECT_EQ(film.year, "1990");
  EXPECT_EQ(film.edition, "Director's Cut");
  EXPECT_EQ(film.imdb, "tt1234567");
  EXPECT_EQ(film.tags[rules::kResolutionTag], "1080p");
  EXPECT_EQ(film.tags[rules::kSourceTag], "BluRay");
  EXPECT_EQ(film.tags[rules::kGroupTag], "ABC");
  EXPECT_EQ(film.dropped, "Directors Cut 1080p BluRay x264-ABC (tt1234567)");

  const rules::Reading episode =
      rules::CleanName("Night.Desk.S02E03.Blue.Hour.720p.{tvdb-4242}.mkv", asked).reading.value();
  EXPECT_EQ(episode.form, rules::NameForm::kEpisode);
  EXPECT_EQ(episode.written_mark, "S02E03");
  EXPECT_EQ(episode.season, 2);
  EXPECT_EQ(episode.first, 3);
  EXPECT_EQ(episode.tvdb, "4242");
  EXPECT_EQ(episode.dropped, "Blue Hour 720p");
}

// An edition after the title, in the library's words; IMAX is a version.
TEST(VideoRule, EditionInTheReading) {
  rules::NameRules asked = Video();
  asked.keep_reading = true;
  struct Case {
    const char* listed;
    const char* edition;
  } cases[] = {
      {"River.Song.1990.EXTENDED.1080p.mkv", "Extended"},
      {"River.Song.1990.Directors.Cut.1080p.mkv", "Director's Cut"},
      {"River Song (1990) Final Cut.mkv", "Final Cut"},
      {"River.Song.1990.30TH.ANNIVERSARY.EDITION.mkv", "30th Anniversary Edition"},
      {"River.Song.1990.IMAX.Unrated.Remastered.mkv", "Unrated Remastered"},
      {"River.Song.1990.Criterion.IMAX.Theatrical.mkv", "Criterion"},
      {"River.Song.1990.IMAX.1080p.mkv", ""},
      {"River Song (1990) {edition-Workprint}.mkv", "Workprint"},
      {"Night.Desk.S01E02.Extended.mkv", ""},  // an episode's are no edition
  };
  for (const Case& c : cases) {
    const rules::CleanedName cleaned = rules::CleanName(c.listed, asked);
    EXPECT_EQ(cleaned.reading.value().edition, c.edition) << c.listed;
  }
}

TEST(VideoRule, SecondRunChangesNothing) {
  const std::vector<std::string> titles = {
      "The Matrix", "2001 A Space Odyssey", "Blade Runner 2049", "It", "Us",
      "Summer Festival", "Charlotte's Web", "THE BIG MOVIE", "la vie", "Léon"};
  const std::vector<std::string> middles = {
      "2010", "(2010)", "S01E02", "s1e2", "1x02", "S01E01E02", "S01 E02",
      "S01EP02", "Season 1 Episode 2", "2019 03 14", "2019-03-14", "S02",
      "Season 1", "- 07", "- 07v2", "S2 - 07", "2010 Part 2", "2010 CD1",
      "2010 sample", "EXTENDED 2010", "German DL", ""};
  const std::vector<std::string> tails = {
      "", "1080p BluRay x264-GRP", "Episode Title 720p HDTV", "(1080p) (ABCD1234)",
      "2160p WEB-DL DDP5 1 Atmos HDR HEVC-GRP", "- Extended", "- x265 DTS", "MULTi 1080p",
      "Trailer"};
  const std::vector<std::string> seps = {".", " ", "_"};
  const std::vector<std::string> heads = {"", "[Group] ", "www.Site.org - "};
  for (const std::string& head : heads)
    for (const std::string& title : titles)
      for (const std::string& middle : middles)
        for (const std::string& tail : tails)
          for (const std::string& sep : seps) {
            std::string name = head + title;
            for (const std::string& part : {middle, tail}) {
              if (!part.empty()) name += " " + part;
            }
            for (char& c : name) {
              if (c == ' ') c = sep[0];
            }
            name += ".mkv";
            for (bool mixed : {false, true}) {
              const std::string once = rules::CleanName(name, Video(mixed)).name;
              ASSERT_EQ(rules::CleanName(once, Video(mixed)).name, once)
                  << name << (mixed ? " with /m" : "");
            }
          }
}

// Names a second reading once changed: a group left open before a group
// ("((( b ))movie-txt"), numbers around a year in a word left open, a
// number before a bracketed year ("News 04 05 (2019)"), and the fuzzer's
// later finds; each /v name is one a second run keeps.
TEST(VideoRule, NamesReadAgainStay) {
  const std::string_view names[] = {
      "((( b ))movie-txt",
      std::string_view("M\xa8ovie 010 2012.1 1919 2101 ex\x00\x12tra wOrd200s.avi1.A.Sp", 54),
      "News.04.05.2019.Guest.mkv", "MM-(ovie 010 2012.1 1919 2101 extra.mkv",
      // A group left open that holds no letter; bracketed and signed
      // numbers; a season with its episode words further on.
      "(1.x264.Atmo2.mkv", "Show.x264.(#11.mkv", "Show.x264.(ep34.mkv",
      "Show.x264.(20190314.mkv", "Show.#2012.9.mkv", "Show.S01.(E).e.1.mkv",
      "Show.S01.(x).E05.mkv", "((t1ie.0).e.x.mkv", "Th.1963.1.xx.(mb).x.mb.8.mkv",
      "Show.S1E02.HDTV.x.2014.E2.avi", "Show.S1E02.HDTV.x.2014.E3.avi",
      "(2010).(1080p).Chapter.7.mkv", "((Cai).Show.S10.2012.(().b).mo05ov.mkv",
      "A.6.(x129016.FRENCH).(0p.(1984).mkv",
      "Movie.0210.(Part.II).CD )1.Disc.2.mkv",  // "CD 1" would read as a part
      "A - 1 (1984) (1) (1984) (1) (1984) (1) (1984) (1) (1984) (1) (1984) (1) "
      "(1984) (1) (1984) (1) (1984) 7.mkv"};
  for (std::string_view name : names) {
    for (bool mixed : {false, true}) {
      const std::string once = rules::CleanName(name, Video(mixed)).name;
      EXPECT_EQ(rules::CleanName(once, Video(mixed)).name, once) << name;
    }
  }
}

// A folder's "/v" names planned together: copies told apart, side files
// after their video, clashes marked; any order gives the same names, and a
// second run on the folder renamed changes nothing.
TEST(VersionSuffix, CopiesAndSideFilesOfOneFolder) {
  struct Case {
    std::vector<std::string> listed;
    std::vector<std::string> want;  // "!" + name: a clash; "-": left alone
  } cases[] = {
      {{"Interstellar.2014.IMAX.1080p.WEB-DL.mkv",
        "Interstellar.2014.1080p.BluRay.x264-SPARKS.mkv",
        "Interstellar.2014.2160p.UHD.BluRay.x265-TERMiNAL.mkv"},
       {"Interstellar (2014) - IMAX.mkv", "Interstellar (2014) - 1080p BluRay.mkv",
        "Interstellar (2014) - 2160p.mkv"}},
      // A subtitle that would fit each copy: left alone, this run and the next.
      {{"Interstellar.2014.IMAX.1080p.WEB-DL.mkv", "Interstellar.2014.2160p.mkv",
        "Interstellar.2014.en.srt"},
       {"Interstellar (2014) - IMAX.mkv", "Interstellar (2014) - 2160p.mkv", "-"}},
      // Told apart by codec or audio alone.
      {{"Film.2010.x264.mkv", "Film.2010.x265.mkv", "Film.2010.DTS.mkv"},
       {"Film (2010) - x264.mkv", "Film (2010) - x265.mkv", "Film (2010) - DTS.mkv"}},
      // A copy named by a run before is a copy still.
      {{"Film (2010) - 1080p.mkv", "Film.2010.2160p.mkv"},
       {"Film (2010) - 1080p.mkv", "Film (2010) - 2160p.mkv"}},
      {{"Film (2010) - 1080p.mkv", "Film.2010.1080p.mkv"},
       {"Film (2010) - 1080p.mkv", "!Film (2010) - 1080p.mkv"}},
      {{"Film.2010.Extended.1080p.BluRay.mkv", "Film.2010.Theatrical.1080p.BluRay.mkv"},
       {"Film (2010) - Extended.mkv", "Film (2010) - Theatrical.mkv"}},
      {{"Film.2010.Extended.1080p.mkv", "Film.2010.2160p.mkv"},
       {"Film (2010) - Extended.mkv", "Film (2010) - 2160p.mkv"}},
      {{"Show.S01E01.720p.HDTV.mkv", "Show.S01E01.1080p.WEB-DL.mkv", "Show.S01E02.mkv"},
       {"Show S01E01 - 720p.mkv", "Show S01E01 - 1080p.mkv", "Show S01E02.mkv"}},
      // Tags another copy has all: all of its own.
      {{"Film.2010.1080p.mkv", "Film.2010.1080p.BluRay.mkv"},
       {"Film (2010) - 1080p.mkv", "Film (2010) - 1080p BluRay.mkv"}},
      // Dynamic range, then codec, audio and the group.
      {{"Film.2010.2160p.HDR.mkv", "Film.2010.2160p.SDR.mkv"},
       {"Film (2010) - 2160p HDR.mkv", "Film (2010) - 2160p SDR.mkv"}},
      {{"Film.2010.1080p.x264-A.mkv", "Film.2010.1080p.x264-B.mkv"},
       {"Film (2010) - 1080p x264-A.mkv", "Film (2010) - 1080p x264-B.mkv"}},
      // Videos are copies by their stem.
      {{"Film.2010.1080p.mkv", "Film.2010.480p.avi"},
       {"Film (2010) - 1080p.mkv", "Film (2010) - 480p.avi"}},
      // The plain name already: kept, the others take tags.
      {{"Film (2010).mkv", "Film.2010.2160p.mkv"},
       {"Film (2010).mkv", "Film (2010) - 2160p.mkv"}},
      // Equal in every tag: a clash, whatever the order.
      {{"Film.2010.1080p.x264.mkv", "film.2010.1080p.X264.mkv"},
       {"!Film (2010) - 1080p x264.mkv", "!film (2010) - 1080p X264.mkv"}},
      {{"Film (2010).mkv", "Film.2010.mkv"}, {"Film (2010).mkv", "!Film (2010).mkv"}},
      // Case-blind, as the file systems are.
      {{"film.2010.720p.mkv", "FILM.2010.1080p.mkv"},
       {"film (2010) - 720p.mkv", "FILM (2010) - 1080p.mkv"}},
      // Side files follow their video.
      {{"The.Matrix.1999.1080p.BluRay.x264-GROUP.mkv", "The.Matrix.1999.480p.DVDRip.avi",
        "The.Matrix.1999.1080p.BluRay.x264-GROUP.eng.forced.srt",
        "The.Matrix.1999.1080p.BluRay.x264-GROUP.nfo",
        "The.Matrix.1999.1080p.BluRay.x264-GROUP-sample.mkv",
        "The.Matrix.1999.480p.DVDRip-poster.jpg", "The.Matrix.1999.en.srt"},
       {"The Matrix (1999) - 1080p.mkv", "The Matrix (1999) - 480p.avi",
        "The Matrix (1999) - 1080p.eng.forced.srt", "The Matrix (1999) - 1080p.nfo",
        "The Matrix (1999) - 1080p-sample.mkv", "The Matrix (1999) - 480p-poster.jpg",
        "-"}},
      {{"Film.2010.1080p.mkv", "Film.2010.2160p.mkv", "Film.2010.1080p.sample.mkv",
        "Film.2010.2160p.trailer.mkv", "Film.2010.1080p-fanart.jpg", "Film.2010.2160p.txt"},
       {"Film (2010) - 1080p.mkv", "Film (2010) - 2160p.mkv",
        "Film (2010) - 1080p.sample.mkv", "Film (2010) - 2160p.trailer.mkv",
        "Film (2010) - 1080p-fanart.jpg", "Film (2010) - 2160p.txt"}},
      // One video: a subtitle that names another stem is tidied on its own.
      {{"Film.2010.1080p.mkv", "Film.2010.en.srt", "Other.2011.en.srt"},
       {"Film (2010).mkv", "Film (2010).en.srt", "Other (2011).en.srt"}},
      // A side file of a video that clashes stays as it is.
      {{"Film.2010.mkv", "Film (2010).mkv", "Film.2010.en.srt"},
       {"!Film (2010).mkv", "Film (2010).mkv", "Film.2010.en.srt"}},
  };
  // The folder's plan: each entry's outcome, written as the cases are.
  auto plan = [](const std::vector<std::string>& listed) {
    std::vector<rules::VersionEntry> entries;
    for (const std::string& name : listed)
      entries.push_back({name, false, rules::CleanName(name, Video()).name});
    rules::SeparateVersions(entries, Video());
    rules::FollowVideos(entries);
    std::vector<std::string> got;
    for (const rules::VersionEntry& e : entries) {
      got.push_back(e.left_alone ? std::string("-") + e.left_alone
                    : e.clash    ? "!" + e.name
                                 : std::string(rules::FinalName(e)));
    }
    return std::pair(got, entries);
  };
  for (const Case& c : cases) {
    for (bool reversed : {false, true}) {
      SCOPED_TRACE(c.listed[0] + (reversed ? " (reversed)" : ""));
      std::vector<std::string> listed = c.listed;
      if (reversed) std::reverse(listed.begin(), listed.end());
      const auto [got, entries] = plan(listed);
      std::vector<std::string> renamed;  // the folder after the run
      for (std::size_t k = 0; k < listed.size(); ++k) {
        const std::string& want = c.want[reversed ? listed.size() - 1 - k : k];
        EXPECT_EQ(got[k].substr(0, want == "-" ? 1 : std::string::npos), want)
            << listed[k];
        renamed.push_back(got[k][0] == '-' || got[k][0] == '!' ? listed[k] : got[k]);
      }
      // A second run renames nothing and says the same, and a copy named
      // on its own keeps its name.
      EXPECT_EQ(plan(renamed).first, got);
      for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].added > 0 && !entries[k].clash) {
          EXPECT_EQ(plan({renamed[k]}).first[0], renamed[k]);
        }
      }
    }
  }
}

TEST(VideoTags, TableIsWellFormed) {
  for (const rules::VideoTag& tag : rules::VideoTags()) {
    EXPECT_FALSE(tag.term.empty());
    EXPECT_EQ(tag.term.find_first_of(" .ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string_view::npos)
        << tag.term;
  }
}

}  // namespace
