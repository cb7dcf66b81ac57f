// The grammar of release names as data: the words each mark is spelled
// with, and the small readers of digits and words the marks are read
// with.  A spelling is added in a table here, and every rule reads it: the
// marks (rules/release_name.cc), the quick refusals made from them, and the
// library name's reading (rules/release_title.cc).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "rules/ascii.h"
#include "rules/release_name.h"

namespace rules {

// The words the marks are spelled with.
inline constexpr std::string_view kSeasonWords[] = {
    "season", "temporada", "staffel",  "saison",
    "sezon",  "series",    "stagione", "se"};
inline constexpr std::string_view kEpisodeWords[] = {
    "episode", "ep",         "e",       "episodio", "folge",
    "afl",     "aflevering", "odcinek", "capitulo", "b\xC3\xB6l\xC3\xBCm",
    "bolum",   "épisode"};
inline constexpr std::string_view kOrdinalEnds[] = {"st", "nd", "rd", "th"};
inline constexpr std::string_view kMonths[] = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};
inline constexpr std::string_view kSampleWords[] = {"sample", "trailer"};
// The sources of television recordings, which a bare episode number
// ("Show.205.HDTV", season 2 episode 5) comes before; a film's ("BluRay")
// never make one.
inline constexpr std::string_view kTelevisionSources[] = {
    "hdtv", "pdtv", "sdtv", "dsr", "web", "web-dl", "webrip", "webdl", "hdtvrip"};
// Picture heights written without their "p" ("Film.2019.2160.WEB-DL"):
// never a bare episode number.
inline constexpr std::string_view kBareResolutions[] = {"480", "576", "720", "1080",
                                                        "2160", "4320"};
// Words a bracket after an anime's title gives its broadcast by ("Show
// (TV) - 02"): they go, as the sources' tags do ("(DVD)").
inline constexpr std::string_view kBroadcastWords[] = {"tv"};
// Countries a show's name ends in where two shows share the rest ("The
// Office US"), written in brackets as media servers name them.
inline constexpr std::string_view kCountryCodes[] = {"us", "uk", "au", "nz", "ca"};
// Sizes and bitrates, the number before them or glued on: tags.
inline constexpr std::string_view kSizeUnits[] = {"gb", "mb",   "gib",  "mib",
                                                  "kb", "mbps", "kbps", "gbps"};

enum class PartWord { kNone, kPart, kCd, kDisc };
inline constexpr struct {
  std::string_view word;
  PartWord kind;
} kPartWords[] = {{"part", PartWord::kPart},
                  {"pt", PartWord::kPart},
                  {"cd", PartWord::kCd},
                  {"disc", PartWord::kDisc},
                  {"disk", PartWord::kDisc}};
inline constexpr std::string_view kRoman[] = {"i",  "ii",  "iii",  "iv", "v",
                                              "vi", "vii", "viii", "ix", "x"};

inline bool InList(std::string_view w, std::span<const std::string_view> list) {
  for (std::string_view l : list) {
    if (ascii::EqualsFolded(w, l)) return true;
  }
  return false;
}

// Reads a run of min to max digits at w[i], moving i past them.  A longer
// run is refused whole, so that "S12345" is not read as season 12.
inline bool ReadDigits(std::string_view w, std::size_t& i, std::size_t min,
                       std::size_t max, int& value) {
  std::size_t end = i;
  while (end < w.size() && ascii::IsDigit(w[end])) ++end;
  const std::size_t count = end - i;
  if (count < min || count > max) return false;
  value = 0;
  for (; i < end; ++i) value = value * 10 + (w[i] - '0');
  return true;
}

inline bool IsChar(std::string_view w, std::size_t i, char lower) {
  return i < w.size() && ascii::AsciiLower(w[i]) == lower;
}

// A release's version: "v2", "V3" ("07v2", "S01E06v2").
inline bool IsReleaseVersion(std::string_view w) {
  return w.size() == 2 && IsChar(w, 0, 'v') && ascii::IsDigit(w[1]);
}

inline bool IsNumber(std::string_view w, std::size_t max, int& value) {
  std::size_t i = 0;
  return ReadDigits(w, i, 1, max, value) && i == w.size();
}

// A month's name or its first three letters: 1 to 12, 0 for none.
inline int MonthNumber(std::string_view w) {
  for (int k = 0; k < 12; ++k) {
    if (ascii::EqualsFolded(w, kMonths[k]) ||
        (w.size() == 3 && ascii::EqualsFolded(w, kMonths[k].substr(0, 3))))
      return k + 1;
  }
  return ascii::EqualsFolded(w, "sept") ? 9 : 0;
}

// Sites' domains, in the site prefixes that open a name.
inline constexpr std::string_view kDomains[] = {"com",  "org", "net", "to",
                                                "me",   "io",  "cc",  "tv",
                                                "info", "xyz", "co",  "ru"};

inline void SetBits(std::uint64_t& bits, std::size_t from, std::size_t count) {
  for (std::size_t k = from; k < from + count && k < 64; ++k) bits |= 1ull << k;
}

// The reader's pieces that the library name's reading asks too.

// An anime episode number (rules/release_name.cc).
bool ReadAnimeNumber(std::string_view w, int highest_year,
                     std::string_view& digits, std::string_view* to = nullptr);

// "(215)" after another bracket group: an episode number of its own
// (rules/release_name.cc).
bool IsBracketNumberAfterGroup(std::span<const std::string_view> words, std::size_t at,
                               int highest_year);

// A season that leads the name takes its episode further on.
void SettleSeason(ReleaseName& r, int highest_year);

}  // namespace rules
