// One reading of a release name.  The words of a cleaned stem are read once,
// left to right, into a ReleaseName: the marks that tell one file from its
// siblings (years, dates, seasons, episodes, parts, half episodes, anime
// numbers, samples and extras), where the title begins and ends, the first
// release tag of each kind, the media servers' own tags, and for every word
// whether the reading placed it.  "/y", "/e" and "/v" are short rules over
// this record; the grammar they share is data in rules/release_grammar.h
// (the marker spellings) and rules/video_tags.cc (the tags and languages).
// The marks are read in rules/release_name.cc, the rest of ReadReleaseName
// in rules/release_title.cc.
//
// Marks, letters in any case, a word's round brackets aside:
//  - Episodes, written "S01E02" or "S01E02-E05" (first and last of a run):
//    "S01E02", "s1e2", "S006E18", "S2016E14", "S1-E1", "S01EP02",
//    "S42E10591" (up to five digits), "S06xE01", "S01E06v2"; more
//    episodes glued or in the next words ("S01E02E03", "S01E02-03",
//    "S01E02-E03", "S03E21.22", "S01E01+E02", "S01E01 S01E02", "E01-03");
//    "1x02", "1x1", "4x05-06", "8x01 02", "1x02x03", "2x9-2x10"; split
//    and spelled over words in any mix ("S01 E02", "S01 E 01", "S02 - E06",
//    "S01 Ep 2", "Season 1 Episode 2", "Season 1 E02", "Season 1 - 07",
//    "Temporada 4", "Staffel 2", "Saison 3", "Sezon 2"...); a season word
//    before an anime number ("S2 - 07").  "1920x1080" is none (a season has
//    at most two digits there, or three with a leading zero).
//  - Season words, written "S01": "S01", "s1", "Season 1" and its other
//    spellings.
//  - Dates, written "2019-03-14": "2019 03 14", "2019-03-14", the same in
//    one bracket group ("(2019 03 14)"); other orders where one settles
//    them ("14 03 2019", "14-03-2019", "2012 16 02", "5th Mar 2025",
//    "20190314"), and "190314" as the first mark after a title.
//  - Parts, kept as written: "Part 2", "Pt II" (up to X), "Part2", "CD1" to
//    "CD9", "Disc 2", "Disk2".
//  - Samples and trailers, kept as written, also glued to a group
//    ("x264-GRP-sample").
//  - Anime numbers: "- 07", "- 07v2", "- 10718", a run "- 01-02", and a
//    half episode "- 12.5" (as the raw name writes it, a period between
//    the numbers).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rules {

// The lowest year the rules accept.
inline constexpr int kLowestYear = 1920;

// The words a name is read in; past them the last word holds the rest.
inline constexpr std::size_t kMaxWords = 64;
inline constexpr std::size_t kMaxMarks = 16;
inline constexpr std::size_t kNoWord = kMaxWords;
// The longest written mark with the space before it: " S99E99999-E99999".
inline constexpr std::size_t kMaxWrittenMark = 17;

// A year: a word of exactly four digits from kLowestYear to highest_year,
// bare or inside its own brackets ("2010", "(2010)"); nothing else.
bool IsYearWord(std::string_view word, int highest_year);

// Where the year rule's reading of a stem begins: two words before the
// last word that may be a year (a date may end in it), or npos when no
// word may be: the year rule's quick refusal.  The rule keeps the last
// year or date and the marks after it, which no word before this changes:
// no mark takes a year along but a date, of three words at most.
std::size_t YearReadingStart(std::string_view stem, int highest_year);

// Whether a cleaned stem may hold a season, an episode or a date: the
// quick refusal of the episode rule, which reads the marks only then.
bool MayHoldEpisode(std::string_view stem, int highest_year);

// The words of a cleaned stem (pieces between spaces, views into it), and
// which of them the raw name joined to the word before by a period
// ("12.5", "5.1", "S03E21.22").
struct StemWords {
  // Only the first n are set: a record is made for every name, and
  // clearing all 64 each time costs more than reading the words.
  union {
    std::string_view at[kMaxWords];
  };
  std::size_t n = 0;
  StemWords() {}
  std::uint64_t period_before = 0;  // bit i: a period before word i
  // Set once a reading asked for a period and found one: only then may the
  // reading differ from one of the same words without their periods.
  mutable bool period_read = false;
  std::span<const std::string_view> all() const { return {at, n}; }
  bool PeriodBefore(std::size_t i) const {
    const bool period = i < 64 && ((period_before >> i) & 1u);
    period_read = period_read || period;
    return period;
  }
};

// period_before as CleanStem (rules/stem_cleanup.h) gives it, or 0.
StemWords SplitWords(std::string_view cleaned, std::uint64_t period_before = 0);

enum class MarkKind : unsigned char {
  kNone,
  kYear,
  kDate,
  kEpisode,
  kSeason,
  kPart,
  kSample,   // "sample", "trailer"
  kAnime,    // "- 07", "- 12.5": at is the "-"
};

struct Mark {
  MarkKind kind = MarkKind::kNone;
  std::uint8_t at = 0;     // its first word
  std::uint8_t words = 0;  // the words it takes
  std::uint8_t part = 0;   // a part's number, 1 to 10
  // A date: 0 for year, month, day ("2019 03 14", "2019-03-14"), written
  // from month and day below; 1 for another order or a spelled month, its
  // year at word year_at; 2 for one word in another order ("20190314",
  // "14-03-2019"); 3 for "190314", its year century and text.  Written
  // from first (the month) and last (the day) when not 0.
  std::uint8_t date_form = 0;
  std::uint8_t century = 0;
  std::uint8_t year_at = 0;
  int season = 0, first = 0, last = 0;  // an episode's or season's
  // A year's or an anime number's digits; a date's year; a sample word.
  std::string_view text;
  std::string_view month, day;  // a date's; half: an anime number's ".5"
  std::string_view to;          // the last anime number of a run ("- 01-02")
};

// The mark that begins at words[at], with the words it takes; kind kNone
// for none.
Mark ReadMark(const StemWords& words, std::size_t at, int highest_year);

// A mark's written form ("S01E02-E03", "S02", "2019-03-14", "2010",
// "Part 2", "sample", "- 07"), appended to out.
void AppendMark(const Mark& mark, const StemWords& words, std::string& out);

// Whether word alone names a season, an episode or a part: a one-word mark
// of those kinds, or a season or episode number on its own ("S01", "E05").
// Brackets count here: "(S01)" is not such a word.
bool IsMarkerWord(std::string_view word);

enum class NameForm : unsigned char { kPlain, kFilm, kEpisode, kDaily, kSeason, kAnime };

// The tags that tell versions of one film or episode apart, in the order
// copies add them.
enum VersionKind : unsigned char {
  kEditionTag, kResolutionTag, kSourceTag, kHdrTag, kCodecTag, kAudioTag,
  kGroupTag, kVersionKinds
};

struct ReleaseName {
  StemWords words;
  union {  // only the first mark_count are set, as words.at
    Mark marks[kMaxMarks];
  };
  std::size_t mark_count = 0;
  // Bit i: word i is placed: a mark, or a tag that holds a number or ends
  // before one ("720p", "H 264"); words of letters only are not looked at.
  std::uint64_t understood = 0;

  // The library name's reading ("/v").
  NameForm form = NameForm::kPlain;
  std::size_t start = 0;          // the title's first word
  std::size_t title_end = 0;      // past its last word
  std::size_t year = kNoWord;     // the year's word
  std::size_t lead = kMaxMarks;   // the mark that names the file
  std::size_t rest = 0;           // the first word after the year or lead
  // Bit i: a title word the library name is written without.
  std::uint64_t unwritten = 0;
  // The first tag of each version kind after the title, as written
  // ("1080p", "DDP5 1"; the group of "x264-GRP"); empty for none.
  std::string_view tags[kVersionKinds];
  // The country a show's title ends in ("US"), written "(US)"; kNoWord
  // for none.
  std::size_t country = kNoWord;

  ReleaseName() {}
  std::span<const Mark> Marks() const { return {marks, mark_count}; }
  bool Understood(std::size_t i) const {
    return i < 64 && ((understood >> i) & 1u);
  }
};

// The whole reading; without read_tags, tags holds none but those that
// hold a number.
ReleaseName ReadReleaseName(std::string_view cleaned, int highest_year,
                            std::uint64_t period_before = 0, bool read_tags = true);

// The words and marks only (what "/y" and "/e" need): no title, no tags.
ReleaseName ReadMarks(std::string_view cleaned, int highest_year,
                      std::uint64_t period_before = 0);

}  // namespace rules
