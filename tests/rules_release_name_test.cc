#include <gtest/gtest.h>

#include <string>

#include "rules/clean_name.h"
#include "rules/release_name.h"
#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/video_tags.h"
#include "text/case.h"

namespace {

// The mark at the first of the words "word next".
std::size_t ReadFirst(const std::string& word, const std::string& next,
                      std::string& written) {
  const std::string stem = next.empty() ? word : word + " " + next;
  const rules::StemWords words = rules::SplitWords(stem);
  const rules::Mark m = rules::ReadMark(words, 0, 2030);
  if (m.kind == rules::MarkKind::kNone || m.kind == rules::MarkKind::kYear ||
      m.kind == rules::MarkKind::kDate || m.kind == rules::MarkKind::kSample)
    return 0;
  rules::AppendMark(m, words, written);
  return m.words;
}

TEST(ReleaseName, MarksReadAndWritten) {
  struct Case {
    const char* word;
    const char* next;
    std::size_t words;    // taken, 0 for no marker
    const char* written;  // "" for no marker
  } cases[] = {
      // Season-episode forms, written "S01E02".
      {"S01E02", "", 1, "S01E02"},
      {"s1e2", "", 1, "S01E02"},
      {"S1E2", "", 1, "S01E02"},
      {"S01E02E03", "", 1, "S01E02-E03"},
      {"S01E02-E03", "", 1, "S01E02-E03"},
      {"s01e02-03", "", 1, "S01E02-E03"},
      {"S01E01E02E03", "", 1, "S01E01-E03"},
      {"S00E00", "", 1, "S00E00"},
      {"S10E100", "", 1, "S10E100"},
      {"S01E002", "", 1, "S01E02"},
      {"1x02", "", 1, "S01E02"},
      {"01x02", "", 1, "S01E02"},
      {"12X05", "", 1, "S12E05"},
      {"2x05-06", "", 1, "S02E05-E06"},
      {"2x05-2x06", "", 1, "S02E05-E06"},
      {"(S05E03)", "", 1, "S05E03"},
      // Bounds and look-alikes: no marker.
      {"1920x1080", "", 0, ""},
      {"640x480", "", 0, ""},
      {"100x01", "", 0, ""},
      {"1x1", "", 1, "S01E01"},
      {"7x6", "", 1, "S07E06"},
      {"S006E18", "", 1, "S06E18"},
      {"S2016E14", "", 1, "S2016E14"},
      {"S1-E1", "", 1, "S01E01"},
      {"1x02x03", "", 1, "S01E02-E03"},
      {"2x9-2x10", "", 1, "S02E09-E10"},
      {"16x9", "", 0, ""},
      {"4x100", "", 0, ""},
      {"S123E01", "", 0, ""},
      {"S01E1000", "", 1, "S01E1000"},  // daily serials count past 9999
      {"S42E10718-E10722", "", 1, "S42E10718-E10722"},
      {"S01E100000", "", 0, ""},
      {"S01", "E02", 2, "S01E02"},
      {"S01", "Ep", 1, "S01"},
      {"S01E", "", 0, ""},
      {"S01E02-", "", 0, ""},
      {"S01E02x", "", 0, ""},
      {"S01E02-GRP", "", 1, "S01E02"},  // a group glued on
      {"1x02-3", "", 1, "S01E02-E03"},
      {"x264", "", 0, ""},
      // Seasons, written "S01".
      {"Season", "1", 2, "S01"},
      {"season", "01", 2, "S01"},
      {"S1", "x", 1, "S01"},
      {"s12", "", 1, "S12"},
      {"Season", "", 0, ""},
      {"Season", "One", 0, ""},
      {"Season", "100", 0, ""},
      {"S123", "", 0, ""},
      {"Seasons", "2", 0, ""},
      {"", "", 0, ""},
      // Part, CD and disc markers, kept as written.
      {"Part", "2", 2, "Part 2"},
      {"part", "02", 2, "part 02"},
      {"PT", "II", 2, "PT II"},
      {"Part", "x", 2, "Part x"},
      {"(Part", "2)", 2, "Part 2"},
      {"Part2", "", 1, "Part2"},
      {"Pt3", "x", 1, "Pt3"},
      {"CD1", "", 1, "CD1"},
      {"cd2", "", 1, "cd2"},
      {"CD", "3", 2, "CD 3"},
      {"Disc", "2", 2, "Disc 2"},
      {"Disk10", "", 1, "Disk10"},
      {"disc1", "", 1, "disc1"},
      // Not parts.
      {"Part", "", 0, ""},
      {"Part", "One", 0, ""},
      {"Part", "XI", 0, ""},
      {"Part", "100", 0, ""},
      {"PartII", "", 0, ""},
      {"Parts", "2", 0, ""},
      {"Partition", "", 0, ""},
      {"CD0", "", 0, ""},
      {"CD10", "", 0, ""},
      {"CD", "10", 0, ""},
      {"Disco", "2", 0, ""},
      {"Disc", "IV", 0, ""},
  };
  for (const Case& c : cases) {
    std::string written;
    EXPECT_EQ(ReadFirst(c.word, c.next, written), c.words) << c.word << " " << c.next;
    EXPECT_EQ(written, c.written) << c.word << " " << c.next;
    EXPECT_LE(written.size() + 1, rules::kMaxWrittenMark) << c.word;
  }
  struct Date {
    const char* word;
    const char* next;
    const char* after;
    std::size_t words;
    const char* written;
  } dates[] = {
      {"2019", "03", "14", 3, "2019-03-14"},
      {"2019-03-14", "x", "", 1, "2019-03-14"},
      {"2019", "12", "31", 3, "2019-12-31"},
      {"2019", "00", "14", 0, ""},
      {"2019", "13", "14", 0, ""},
      {"2019", "03", "00", 0, ""},
      {"2019", "03", "32", 0, ""},
      {"2019", "3", "14", 0, ""},
      {"2031", "03", "14", 0, ""},
      {"1919", "03", "14", 0, ""},
      {"2019-03-1x", "", "", 0, ""},
      {"(2019)", "03", "14", 0, ""},
      {"(2019", "03", "14)", 3, "2019-03-14"},
      {"(2019-03-14)", "", "", 1, "2019-03-14"},
      {"(2019", "03", "14", 0, ""},
      {"(2019", "03", "14 x)", 3, "2019-03-14"},
      {"2019", "03", "14)", 3, "2019-03-14"},
  };
  for (const Date& d : dates) {
    const std::string stem = std::string(d.word) + (*d.next ? " " : "") + d.next +
                             (*d.after ? " " : "") + d.after;
    const rules::StemWords words = rules::SplitWords(stem);
    const rules::Mark m = rules::ReadMark(words, 0, 2030);
    std::string written;
    if (m.kind == rules::MarkKind::kDate) rules::AppendMark(m, words, written);
    EXPECT_EQ(m.kind == rules::MarkKind::kDate ? m.words : 0u, d.words)
        << d.word << " " << d.next << " " << d.after;
    EXPECT_EQ(written, d.written) << d.word;
  }
  for (const char* word : {"2010", "(2010)", "(2010", "1920", "2030"})
    EXPECT_TRUE(rules::IsYearWord(word, 2030)) << word;
  for (const char* word : {"1919", "2031", "02010", "201", "2010p", "1990s",
                           "2e03", "&H7DA", "+2010", "2010-2012", ""})
    EXPECT_FALSE(rules::IsYearWord(word, 2030)) << word;
  // One word alone: what a directory's last dotted part must not be.
  for (const char* word : {"S01", "s1", "E05", "e123", "S01E02", "1x02", "CD1",
                           "Pt2", "Part12", "Disc1"}) {
    EXPECT_TRUE(rules::IsMarkerWord(word)) << word;
  }
  for (const char* word : {"S", "S123", "E1234", "Sa", "app", "git", "d", "Part",
                           "CD", "(S01)", "mkv", ""}) {
    EXPECT_FALSE(rules::IsMarkerWord(word)) << word;
  }
}

}  // namespace

namespace {

rules::NameRules Options(const char* which) {
  rules::NameRules r;
  r.highest_year = 2026;
  const std::string w = which;
  r.year_rule = w.find('y') != std::string::npos;
  r.episode_rule = w.find('e') != std::string::npos;
  r.term_rule = w.find('k') != std::string::npos;
  r.video_rule = w.find('v') != std::string::npos;
  return r;
}

// Names that differ must keep what tells them apart, with every option
// that reads the marks.
TEST(ReleaseName, NeighboursStayApart) {
  struct Case {
    const char* options;
    const char* listed;
    const char* want;
  } cases[] = {
      {"y", "Show.2010.S01.E02.720p.mkv", "Show (2010) S01E02.mkv"},
      {"y", "Show.2010.S01.E03.720p.mkv", "Show (2010) S01E03.mkv"},
      {"e", "Show.Season.1.E02.x.mkv", "Show S01E02.mkv"},
      {"e", "Show.S01.Episode.2.x.mkv", "Show S01E02.mkv"},
      {"e", "Show.S01.Ep.2.x.mkv", "Show S01E02.mkv"},
      {"e", "Show.Season.1.-.07.x.mkv", "Show S01E07.mkv"},
      {"y", "Show (2019.03.14).mkv", "Show 2019-03-14.mkv"},
      {"y", "Show (2019.03.15).mkv", "Show 2019-03-15.mkv"},
      {"v", "Show (2019.03.15).mkv", "Show 2019-03-15.mkv"},
      {"yk", "The.Matrix.1999.1080p.en.cc.srt", "The Matrix (1999).en.cc.srt"},
      {"v", "The.Matrix.1999.1080p.de.cc.srt", "The Matrix (1999).de.cc.srt"},
      {"v", "Movie.2010.1080p.en.forced.sdh.srt", "Movie (2010).en.forced.sdh.srt"},
      {"v", "Show.S06E17.Part.1.720p.mkv", "Show S06E17 - pt1.mkv"},
      {"v", "Show.S06E17.Part.2.720p.mkv", "Show S06E17 - pt2.mkv"},
      {"e", "Show.S06E17.Part.2.720p.mkv", "Show S06E17 Part 2.mkv"},
      {"v", "Show.S01E01.CD1.avi", "Show S01E01 - pt1.avi"},
      {"v", "Show.S01E01.pt2.avi", "Show S01E01 - pt2.avi"},
      {"v", "Film.2010.Disc.2.avi", "Film (2010) - pt2.avi"},
      {"v", "[Grp] Show - 12.5 [1080p].mkv", "Show - 12.5.mkv"},
      {"v", "[Grp] Show - 12 [1080p].mkv", "Show - 12.mkv"},
      {"v", "Show - 05.5.mkv", "Show - 05.5.mkv"},
      {"v", "Show.2006.S006E18.720p.mkv", "Show (2006) S06E18.mkv"},
      {"e", "Show.2006.S006E18.720p.mkv", "Show 2006 S06E18.mkv"},
      {"v", "Show 2016 02 25 S20E142 720p.mkv", "Show S20E142.mkv"},
      {"v", "Show 2016 02 25 S20E143 720p.mkv", "Show S20E143.mkv"},
      {"v", "Show.S01.xx.1x02.mkv", "Show S01E02.mkv"},
      {"v", "Show.S01.xx.1x03.mkv", "Show S01E03.mkv"},
      {"v", "Show.S01.xx.-.07.mkv", "Show S01E07.mkv"},
      {"v", "Show.S01.xx.-.08.mkv", "Show S01E08.mkv"},
      // A run that goes on in a season and episode of two words.
      {"e", "Show.S01E02.S01.E03.x.mkv", "Show S01E02-E03.mkv"},
      {"e", "Show.S01E02.S0).E04.x.mkv", "Show S01E02 S00E04.mkv"},
      // Bracketed numbers after a season word: the stem is read.
      {"e", "Show.Se.(21).x.mkv", "Show S21.mkv"},
      {"e", "Show (2nd Season) - 12.mkv", "Show S02E12.mkv"},
      // Sizes, bitrates and channels are tags, never a number of the name.
      {"v", "Title (2019) 1080p - 1.1GB - x264.mkv", "Title (2019).mkv"},
      {"v", "Title.2019.2.5.GB.20.Mbps.DD+5.1.mkv", "Title (2019).mkv"},
      {"v", "Title.2019.1080p.TrueHD.7.1.Atmos.mkv", "Title (2019).mkv"},
      // What follows the mark goes, known or not.
      {"v", "Title.2019.Chapter.7.1080p.mkv", "Title (2019).mkv"},
      {"v", "[Grp] Show - 07 (1080p) 3.mkv", "Show - 07.mkv"},
      // "- 114.12" is no episode: the title keeps its numbers, not the "-".
      {"v", "Show.-.114.12.2010.mkv", "Show 114 12 (2010).mkv"},
      {"v", "Show.-.114.13.2010.mkv", "Show 114 13 (2010).mkv"},
      {"v", "Show.-.2-2026.009.S.mkv", "Show 2-2026 009 S.mkv"},
      // Already tidy media-server names.
      {"v", "Title (2000) {edition-Extended}.mkv", "Title (2000) {edition-Extended}.mkv"},
      {"v", "Title (2007) [imdbid-tt0443706].mkv", "Title (2007) [imdbid-tt0443706].mkv"},
      {"v", "Title (1979) - 1080p.mkv", "Title (1979) - 1080p.mkv"},
      {"v", "Interstellar (2014) - 1080p BluRay.mkv", "Interstellar (2014) - 1080p BluRay.mkv"},
      {"v", "Title.2000.{tmdb-12345}.1080p.mkv", "Title (2000) {tmdb-12345}.mkv"},
      {"v", "Title.2000.1080p.[tmdbid=12345].mkv", "Title (2000) [tmdbid=12345].mkv"},
      {"v", "Title (2000) [imdbid=tt0443706] - 1080p.mkv",
       "Title (2000) [imdbid=tt0443706] - 1080p.mkv"},
      {"v", "Title (2000) (rating=5).mkv", "Title (2000).mkv"},  // no server's
      {"v", "Show.S01.{edition.Cut.2}.x.mkv", "Show S01.mkv"},  // no server's form: goes
      // A group the name closed stays closed.
      {"e", "Show (Pilot S01E02) x.mkv", "Show (Pilot S01E02).mkv"},
      {"e", "Show (Pilot S01E03 720p) Sample.mkv", "Show (Pilot S01E03) Sample.mkv"},
      {"e", "Show (Pilot S01E04 x.mkv", "Show (Pilot S01E04.mkv"},
      // A run written with a period, read past the words the year rule skips.
      {"e", "Show.S03E21.22.720p.mkv", "Show S03E21-E22.mkv"},
      {"e", "Show.S03E21.720p.mkv", "Show S03E21.mkv"},
      {"y", "The.Long.Show.2010.S03E21.22.720p.mkv", "The Long Show (2010) S03E21-E22.mkv"},
      {"ye", "Show.S03E21.22.2010.x.mkv", "Show S03E21-E22.mkv"},
      // A date in a group with other words.
      {"y", "Show (2019.03.14 Live).mkv", "Show 2019-03-14.mkv"},
      {"y", "Show (2019.03.15 Live).mkv", "Show 2019-03-15.mkv"},
      {"y", "Show (Live 2019.03.16).mkv", "Show 2019-03-16.mkv"},
      {"e", "Show (Live 2019.03.16).mkv", "Show (Live 2019-03-16).mkv"},
      {"v", "Show (Live 2019.03.16).mkv", "Show 2019-03-16.mkv"},
      // A sample glued to a tag or to letters of any script is no film.
      {"y", "Clip.2010.720p-Sample.mkv", "Clip (2010) Sample.mkv"},
      {"y", "Clip.2010.Été-Sample.mkv", "Clip (2010) Sample.mkv"},
      {"y", "Clip.2010.DD5.1-Sample.mkv", "Clip (2010) Sample.mkv"},
      {"e", "Show.S01E02.720p-Sample.mkv", "Show S01E02 Sample.mkv"},
  };
  for (const Case& c : cases) {
    const rules::NameRules options = Options(c.options);
    EXPECT_EQ(rules::CleanName(c.listed, options).name, c.want)
        << c.options << " " << c.listed;
    EXPECT_EQ(rules::CleanName(c.want, options).name, c.want)  // a second run
        << c.options << " " << c.listed;
  }
}

}  // namespace

#include "terms_example.h"

namespace {

// Every term that doc/terms.example offers "/k" users is one "/v" reads as
// a release tag: after a film's year, each of its words is placed.
TEST(ReleaseName, TermsExampleAreTags) {
  const std::string_view text = kTermsExample;
  std::size_t terms = 0;
  for (std::size_t from = 0; from < text.size();) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string term(text.substr(from, end - from));
    from = end + 1;
    if (term.empty() || term[0] == '#') continue;
    if (term.back() == '*') term.pop_back();  // a prefix: "x265-*"
    if (term.back() == '-') term += "GRP";
    ++terms;
    const std::string raw = "Title.2010." + term;
    std::uint64_t joins = 0;
    const std::string stem = rules::CleanStem(raw, &joins);
    const rules::ReleaseName r = rules::ReadReleaseName(stem, 2026, joins);
    ASSERT_EQ(r.year, 1u) << term;
    // Each word a tag's, or placed with the one before ("DDP5.1").
    for (std::size_t i = 2; i < r.words.n;) {
      const std::size_t tag = rules::MatchVideoTag(r.words.all(), i).words;
      EXPECT_TRUE(tag > 0 || r.Understood(i)) << term << ": " << r.words.at[i];
      i += tag > 0 ? tag : 1;
    }
  }
  EXPECT_GT(terms, 50u);
}

}  // namespace

namespace {

// Two names that differ in a mark (a year, season, episode, date, part or
// anime number), or in a title's number, never get the same "/v" name: over
// names made of the parts release names are made of, each number in turn
// one higher.
TEST(ReleaseName, OneNumberApartNeverMerges) {
  const char* const all[] = {"1", "2", "07", "08", "11", "12", "19", "20", nullptr};
  const char* const days[] = {"07", "08", "11", "12", "19", "20", nullptr};
  const char* const months[] = {"07", "08", "11", "12", nullptr};
  const char* const digits[] = {"1", "2", "3", "7", "8", "9", nullptr};
  const char* const bare[] = {"101", "102", "210", "211", "1205", "1206", nullptr};
  const char* const years[] = {"1971", "1972", "1999", "2000", "2019", "2020", nullptr};
  // "#" stands for the number that changes.
  const struct {
    const char* form;
    const char* const* numbers;
  } forms[] = {
      {"Title.#.1080p.BluRay.x264-GRP", all},   {"Show.S01E#.720p.HDTV.x264-GRP", all},
      {"Show.S#E05.720p.HDTV", all},             {"Show.2x#.HDTV.XviD", all},
      {"Show.2010.S01.E#.720p", all},            {"Show.Season.1.Episode.#.x", all},
      {"Show.Season.#.E02.x", all},              {"Show.S01.Ep.#.x", all},
      {"Show.2019.03.#.Guest.720p", days},       {"Show.2019.#.14.Guest.720p", months},
      {"[Grp] Show - # [1080p][ABCD1234]", all}, {"Show.S01E01.Part.#.720p", all},
      {"Film.2010.CD#.avi.x", digits},           {"Film.2010.Disc.#.x264", all},
      {"Title.#.Rising.2019.1080p", all},        {"Show - #.5 [1080p]", all},
      {"Show.2016.02.25.S20E1#.720p", all},      {"Show.S01E01-E#.1080p", all},
      {"Show.S006E#.720p", all},                 {"Show.2010.S01E02.Part.#", all},
      {"Show.E#.720p.WEB", all},                 {"Title.#.1080p.BluRay.x264-GRP", years},
      {"Show.#.S01E02.720p.Room.5", years},      {"Title.2019.Pt.#.1080p.Take.1", all},
      {"Show.#.HDTV.x264", bare},                {"[Grp][Show][#][1080p]", all},
      {"Show.Episode.#.720p", all},              {"Show.S01xE#", all},
  };
  for (const auto& [form, numbers] : forms) {
    const std::string f = form;
    const std::size_t at = f.find('#');
    for (std::size_t k = 0; numbers[k + 1]; ++k) {
      std::string a = f, b = f;
      a.replace(at, 1, numbers[k]);
      b.replace(at, 1, numbers[k + 1]);
      a += ".mkv";
      b += ".mkv";
      const std::string va = rules::CleanName(a, Options("v")).name;
      const std::string vb = rules::CleanName(b, Options("v")).name;
      EXPECT_NE(text::AsciiLowerForm(va), text::AsciiLowerForm(vb))
          << a << " and " << b << " both give " << va;
    }
  }
}

}  // namespace

namespace {

// The spellings the reading understands, as "/v" writes them.
TEST(ReleaseName, FormsAsLibraryNames) {
  struct Case {
    const char* listed;
    const char* want;
  } cases[] = {
      // Seasons and episodes.
      {"Show.S010E16.720p.mkv", "Show S10E16.mkv"},
      {"Show.S01.E.01.720p.mkv", "Show S01E01.mkv"},
      {"Show S02 - E06 720p.mkv", "Show S02E06.mkv"},
      {"Show Season 1 - Episode 01 720p.mkv", "Show S01E01.mkv"},
      {"Show Season 01 Episode 05-06 720p.mkv", "Show S01E05-E06.mkv"},
      {"Show.S1-E1.720p.mkv", "Show S01E01.mkv"},
      {"Show.Temporada.4.Capitulo.3.mkv", "Show S04E03.mkv"},
      {"Show.Cap.408.HDTV.mkv", "Show S04E08.mkv"},
      {"Show.Staffel.2.Folge.5.German.mkv", "Show S02E05.mkv"},
      {"Show.Saison.3.Episode.7.FRENCH.mkv", "Show S03E07.mkv"},
      {"Show.Sezon.2.Bölüm.7.mkv", "Show S02E07.mkv"},
      {"Show.Se.3.afl.3.mkv", "Show S03E03.mkv"},
      {"Show.7x6.HDTV.mkv", "Show S07E06.mkv"},
      {"Show.4x05-06.HDTV.mkv", "Show S04E05-E06.mkv"},
      {"Show.8x01_02.HDTV.mkv", "Show S08E01-E02.mkv"},
      {"Show.1x02x03x04.HDTV.mkv", "Show S01E02-E04.mkv"},
      {"Show.2x9-2x10.HDTV.mkv", "Show S02E09-E10.mkv"},
      {"Show.S2016E14.HDTV.mkv", "Show S2016E14.mkv"},
      {"Show.2016x231.HDTV.mkv", "Show S2016E231.mkv"},
      // Several episodes.
      {"Show.S01E01E02E03.mkv", "Show S01E01-E03.mkv"},
      {"Show.S01E01-03.mkv", "Show S01E01-E03.mkv"},
      {"Show.S01E01-02-03.mkv", "Show S01E01-E03.mkv"},
      {"Show.S01E01-S01E04.mkv", "Show S01E01-E04.mkv"},
      {"Show.S03E21.22.720p.mkv", "Show S03E21-E22.mkv"},
      {"Show.S01E01+E02.720p.mkv", "Show S01E01-E02.mkv"},
      {"Show.Ep10718.-.Ep10722.720p.mkv", "Show - 10718-10722.mkv"},
      {"Show.Ep10718-Ep10722.720p.mkv", "Show - 10718-10722.mkv"},
      {"Show.Ep10718.720p.mkv", "Show - 10718.mkv"},
      {"Show - 10718-10722.mkv", "Show - 10718-10722.mkv"},
      {"[Grp] Show - 01-02 [1080p].mkv", "Show - 01-02.mkv"},
      {"Show.S2.-.01-02.mkv", "Show S02E01-E02.mkv"},
      // A season, and its episode further on.
      {"Show.S01.1080p.E05.mkv", "Show S01E05.mkv"},
      {"Show.S01.Extras.2.Episode.5.mkv", "Show S01E05.mkv"},
      // Anime and numbered shows.
      {"[Grp] Show - 07 [1080p].mkv", "Show - 07.mkv"},
      {"Show S2 - 11 [1080p].mkv", "Show S02E11.mkv"},
      {"Show Season 2 - 09 [1080p].mkv", "Show S02E09.mkv"},
      {"Show 2nd Season - 12 [1080p].mkv", "Show S02E12.mkv"},
      {"Show (2019) - S01E05-Group.mkv", "Show (2019) S01E05.mkv"},
      {"[Grp] Show - 07 (S01E05) [1080p].mkv", "Show S01E05.mkv"},
      // Parts and half episodes.
      {"Film.2010.Part.II.720p.mkv", "Film (2010) - pt2.mkv"},
      {"Film (2010) - pt2.avi", "Film (2010) - pt2.avi"},
      {"Show S06E17 - pt1.mkv", "Show S06E17 - pt1.mkv"},
      // Look-alikes.
      {"Movie.1920x1080.x264.mkv", "Movie.mkv"},
      {"Room.101.2019.1080p.mkv", "Room 101 (2019).mkv"},
      {"Apollo.13.1995.1080p.mkv", "Apollo 13 (1995).mkv"},
      {"Blink.182.Live.2001.DVDRip.mkv", "Blink 182 Live (2001).mkv"},
      {"2001.A.Space.Odyssey.1968.mkv", "2001 A Space Odyssey (1968).mkv"},
      {"1917.2019.1080p.mkv", "1917 (2019).mkv"},
      {"Se7en.1995.1080p.mkv", "Se7en (1995).mkv"},
      {"(500) Days of Summer (2009).mkv", "(500) Days of Summer (2009).mkv"},
      // A group left open keeps its bracket where another group follows it,
      // so a second run finds no leading group to drop.
      {"((( b ))movie-txt", "(((b)) movie-txt"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rules::CleanName(c.listed, Options("v")).name, c.want) << c.listed;
}

// Region codes a subtitle's language may carry, and words that are none.
TEST(ReleaseName, SubtitleLanguages) {
  for (const char* name : {"Movie.2010.en.forced.sdh.srt", "Movie.2010.pt-BR.srt",
                           "Movie.2010.zh-Hans.srt", "Movie.2010.es-419.srt"})
    EXPECT_EQ(rules::SplitFileName(name).stem, "Movie.2010") << name;
  for (const char* name : {"Movie.2010.pt-BRA.srt", "Movie.2010.en-1a.srt",
                           "Movie.2010.MULTI.srt"})
    EXPECT_EQ(rules::SplitFileName(name).extension, ".srt") << name;
}

}  // namespace

namespace {

// Dates: read in every order that settles itself, never guessed.
TEST(ReleaseName, Dates) {
  struct Case {
    const char* options;
    const char* listed;
    const char* want;
  } cases[] = {
      {"v", "News.14.03.2019.Guest.720p.mkv", "News 2019-03-14.mkv"},
      {"v", "News.04.28.2014.Guest.720p.mkv", "News 2014-04-28.mkv"},
      {"v", "News 14-03-2019 Guest.mkv", "News 2019-03-14.mkv"},
      {"v", "News.2012-16-02.Guest.mkv", "News 2012-02-16.mkv"},
      {"v", "News 04-05-2019 Guest.mkv", "News 04-05-2019 Guest.mkv"},
      {"v", "News.(2012-01-02.Guest.mkv", "News (2012-01-02 Guest.mkv"},  // left open: not read
      {"v", "News.20120121.Guest.2010.720p.mkv", "News 2012-01-21.mkv"},
      {"y", "News.(2012-01-02.Guest.mkv", "News 2012-01-02.mkv"},
      // Six digits: a date right after a title, in a name with tags only.
      {"v", "Show.190314.Guest.720p.HDTV.x264-GRP.mkv", "Show 2019-03-14.mkv"},
      {"v", "Show.991231.720p.mkv", "Show 1999-12-31.mkv"},
      {"v", "Show.000229.720p.mkv", "Show 2000-02-29.mkv"},
      {"v", "Show.990229.720p.mkv", "Show 990229.mkv"},
      {"v", "Show.191314.720p.mkv", "Show 191314.mkv"},
      {"v", "Invoice.200101.mkv", "Invoice 200101.mkv"},
      {"v", "Show.S01E02.190314.720p.mkv", "Show S01E02.mkv"},
      {"v", "Show.x264.190314.mkv", "Show.mkv"},
      {"e", "Show.190314.Guest.720p.mkv", "Show 2019-03-14.mkv"},
      {"y", "Show.190314.Guest.720p.mkv", "Show 190314 Guest 720p.mkv"},
      {"y", "News 14-03-2019 Guest.mkv", "News 14-03-2019 Guest.mkv"},
      // The last year "/y" keeps, before words that only look like one.
      {"y", "Movie.2011.Cut.2010-bit10.mkv", "Movie (2011).mkv"},
      {"y", "Movie.2011.Cut.2012-16-02.mkv", "Movie (2011).mkv"},
      {"y", "Movie.2011.Cut.2012-11-02.mkv", "Movie 2011 Cut 2012-11-02.mkv"},
      {"v", "News.2012.16.02.Guest.mkv", "News 2012-02-16.mkv"},
      {"v", "News.04.05.2019.Guest.mkv", "News 04 05 (2019).mkv"},
      {"v", "News.20190314.Guest.720p.mkv", "News 2019-03-14.mkv"},
      {"v", "News.5th.Mar.2025.720p.mkv", "News 2025-03-05.mkv"},
      {"v", "News 2 mar 2013 720p.mkv", "News 2013-03-02.mkv"},
      {"v", "News.16.November.2016.720p.mkv", "News 2016-11-16.mkv"},
      {"e", "News.14.03.2019.Guest.720p.mkv", "News 2019-03-14.mkv"},
      // "/y" keeps its own dates: a year, a month and a day.
      {"y", "News.14.03.2019.Guest.720p.mkv", "News 14 03 (2019).mkv"},
      {"y", "News.20190314.Guest.720p.mkv", "News 20190314 Guest 720p.mkv"},
      {"y", "News.2012.16.02.Guest.mkv", "News (2012).mkv"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rules::CleanName(c.listed, Options(c.options)).name, c.want)
        << c.options << " " << c.listed;
  }
}

}  // namespace

namespace {

// Extras after a film's year take the suffix media servers read.
TEST(ReleaseName, Extras) {
  struct Case {
    const char* listed;
    const char* want;
  } cases[] = {
      {"The.Dark.Knight.2008.Featurette.Gotham.Uncovered.1080p.mkv",
       "The Dark Knight (2008) - Gotham Uncovered-featurette.mkv"},
      {"The Dark Knight (2008) - Gotham Uncovered-featurette.mkv",
       "The Dark Knight (2008) - Gotham Uncovered-featurette.mkv"},
      {"Film.2010.Deleted.Scenes.720p.mkv", "Film (2010)-deleted.mkv"},
      {"Film.2010.Teaser.720p.mkv", "Film (2010)-trailer.mkv"},
      {"Film (2010)-trailer.mkv", "Film (2010)-trailer.mkv"},
      {"Film.2010.Interview.Jane.Doe.x264.mkv", "Film (2010) - Jane Doe-interview.mkv"},
      {"Film.2010.BehindTheScenes.mkv", "Film (2010)-behindthescenes.mkv"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rules::CleanName(c.listed, Options("v")).name, c.want) << c.listed;
}

}  // namespace

namespace {

// Titles and numbered shows in the forms that open with brackets or carry
// their number without a season.
TEST(ReleaseName, TitlesAndNumberedShows) {
  struct Case {
    const char* listed;
    const char* want;
  } cases[] = {
      {"[Taxi 1998] [BDRemux 1080p].mkv", "Taxi (1998).mkv"},
      {"[ www.Site.cd ] - Title.2010.720p.mkv", "Title (2010).mkv"},
      {"Show - Episode 05 [1080p].mkv", "Show - 05.mkv"},
      {"Show.ep34.720p.mkv", "Show - 34.mkv"},
      {"Show #17 [720p].mkv", "Show - 17.mkv"},
      {"Show 07 [1080p].mkv", "Show - 07.mkv"},
      {"[Group][Title][2019][215][1080P].mkv", "Title (2019) - 215.mkv"},
      {"[Group] Title (2019) [1080p].mkv", "Title (2019).mkv"},
      {"Room 101 [1080p].mkv", "Room 101.mkv"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rules::CleanName(c.listed, Options("v")).name, c.want) << c.listed;
}

}  // namespace
