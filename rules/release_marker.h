// Episode and part markers in a cleaned stem: the words that tell one file of
// a series or of a split film from its siblings.  The year rule keeps them,
// the episode rule cuts after them, and the directory split never takes one
// for an extension.
//
// Season-episode markers, one word each, letters in any case:
//  - "S01E02", "s1e2": "S", a season of 1 or 2 digits, "E", an episode of 1 to
//    3 digits; more episodes may follow as "E03" or "-E03" or "-03"
//    ("S01E02E03", "S01E02-E03", "S01E02-03").
//  - "1x02", "01x02": a season of 1 or 2 digits, "x", an episode of exactly 2
//    digits; more episodes may follow as "-03" or "-1x03".
//  The bounds keep real words out: "1920x1080" and "640x480" (seasons of 3
//  or 4 digits), "1x1", "16x9" and "4x100" (episodes of 1 or 3 digits) are no
//  markers.
//  Written form: "S", the season, "E", the first episode, each at least two
//  digits ("s1e2" -> "S01E02", "2x05" -> "S02E05"); with more episodes, "-E"
//  and the last one ("S01E02E03" -> "S01E02-E03").
//
// Part markers, letters in any case, kept as written (the words joined by
// one space, "pt 2" stays "pt 2"):
//  - "Part N", "Pt N": N of 1 or 2 digits or a Roman numeral I to X; also
//    glued to digits, "Part2", "Pt2".
//  - "CD1" to "CD9", also "CD 1".
//  - "Disc N", "Disk N", "DiscN", "DiskN": N of 1 or 2 digits.
//
// Season words, written "S01": "S01", "s1" (one word), "Season 1",
// "Season 01" (two words, as the cleanup leaves "Season.01").
//
// Dates of daily shows, written "2019-03-14": a year word (four digits in
// range) followed by a month word 01-12 and a day word 01-31, or the one word
// "2019-03-14".
//
// Samples and trailers: the word "sample" or "trailer", kept as written, also
// glued to a release group ("x264-GRP-sample").
//
// A word is read without the "(" and ")" at its ends, as the year rule reads
// a year: "(S01E02)" is a marker, written without its brackets.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace rules {

// The lowest year the rules accept.
inline constexpr int kLowestYear = 1920;

// The longest written form with the space before it: " S99E999-E999".
inline constexpr std::size_t kMaxWrittenMarker = 13;

// Whether word is a season-episode marker; if so and written is not null,
// its written form is appended to *written.
bool ReadEpisodeMarker(std::string_view word, std::string* written);

// The marker, of any kind above but dates, samples and trailers, that begins at word, next being the word after
// it ("" at the end): the number of words it takes (1 or 2), or 0 for none.
// When found and written is not null, its written form is appended.
std::size_t ReadReleaseMarker(std::string_view word, std::string_view next,
                              std::string* written);

// The first marker in words (words separated by single spaces), its
// written form appended to *written; false when there is none.
bool FindFirstReleaseMarker(std::string_view words, std::string* written);

// A year: a word of exactly four digits from kLowestYear to highest_year,
// bare or inside its own brackets ("2010", "(2010)"); nothing else.
bool IsYearWord(std::string_view word, int highest_year);

// The season word at word ("S01", or "Season" with next "1"): the words it
// takes (1 or 2), or 0; its written form appended when found.
std::size_t ReadSeasonWords(std::string_view word, std::string_view next,
                            std::string* written);

// The date at word, next and after being the two words behind it: the words
// it takes (1 or 3), or 0; its written form appended when found.
std::size_t ReadDate(std::string_view word, std::string_view next,
                     std::string_view after, int highest_year,
                     std::string* written);

// The "sample" or "trailer" that word is, brackets trimmed, case-blind, or
// that ends it after a "-" ("x264-GRP-sample"); "" when it is none.
std::string_view SampleWord(std::string_view word);

// What the year and episode rules keep of the words they drop: the first
// marker among them (season, episode or part), then the first sample or
// trailer word, each after a space.
void AppendKeptMarkers(std::string_view words, std::string& out);

// Whether word alone names a season, an episode or a part: a one-word
// marker above, or a season or episode number on its own ("S01", "s1",
// "E05").  Brackets count here: "(S01)" is not such a word.
bool IsMarkerWord(std::string_view word);

// An anime episode number: 1 to 4 digits that are no year, "v2" and the
// like after them ("07v2"); digits is set to the number as written.
bool ReadAnimeNumber(std::string_view word, int highest_year,
                     std::string_view& digits);

// The episode marker that begins at words[at] in any spelling: the markers
// above, several episodes over several words ("S03E01 S03E02", "S02E09
// E10", "1x01 1x02"), split and spelled ones ("S01 E02", "S01EP02", "S6
// Ep5", "Season 1 Episode 2") and a season word before an anime number
// ("S2 - 07").  Returns the words it takes (0 for none), with the marker
// written "S01E02" or "S01E01-E02".
std::size_t ReadEpisodeWords(std::span<const std::string_view> words,
                             std::size_t at, int highest_year,
                             std::string* written);

}  // namespace rules
