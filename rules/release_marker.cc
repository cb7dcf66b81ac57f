#include "rules/release_marker.h"

#include <cstring>
#include <span>

#include "rules/ascii.h"

namespace rules {
namespace {

// Reads a run of min to max digits at w[i], moving i past them.  A longer
// run is refused whole, so that "S123E01" is not read as season 12.
bool ReadDigits(std::string_view w, std::size_t& i, std::size_t min,
                std::size_t max, int& value) {
  std::size_t end = i;
  while (end < w.size() && ascii::IsDigit(w[end])) ++end;
  const std::size_t count = end - i;
  if (count < min || count > max) return false;
  value = 0;
  for (; i < end; ++i) value = value * 10 + (w[i] - '0');
  return true;
}

bool IsChar(std::string_view w, std::size_t i, char lower) {
  return i < w.size() && ascii::AsciiLower(w[i]) == lower;
}

struct Episode {
  int season = 0;
  int first = 0;
  int last = 0;
};

// "S01E02", "S01E02E03", "S01E02-E03", "S01E02-03".
bool ReadSForm(std::string_view w, Episode& e) {
  std::size_t i = 0;
  if (!IsChar(w, i++, 's') || !ReadDigits(w, i, 1, 2, e.season)) return false;
  if (!IsChar(w, i++, 'e') || !ReadDigits(w, i, 1, 3, e.first)) return false;
  e.last = e.first;
  while (i < w.size()) {
    if (w[i] == '-') ++i;
    if (IsChar(w, i, 'e')) ++i;
    if (!ReadDigits(w, i, 1, 3, e.last)) return false;
  }
  return true;
}

// "1x02", "01x02", "1x02-03", "1x02-1x03".
bool ReadXForm(std::string_view w, Episode& e) {
  std::size_t i = 0;
  if (!ReadDigits(w, i, 1, 2, e.season)) return false;
  if (!IsChar(w, i++, 'x') || !ReadDigits(w, i, 2, 2, e.first)) return false;
  e.last = e.first;
  while (i < w.size()) {
    if (w[i++] != '-') return false;
    std::size_t at = i;
    int season = 0;
    if (ReadDigits(w, at, 1, 2, season) && IsChar(w, at, 'x')) i = at + 1;
    if (!ReadDigits(w, i, 2, 2, e.last)) return false;
  }
  return true;
}

void AppendNumber(std::string& out, int value) {
  if (value < 10) out.push_back('0');
  char digits[8];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0);
  while (n > 0) out.push_back(digits[--n]);
}

// A number of 1 or 2 digits and nothing else.
bool IsSmallNumber(std::string_view w) {
  std::size_t i = 0;
  int value = 0;
  return ReadDigits(w, i, 1, 2, value) && i == w.size();
}

bool IsRoman(std::string_view w) {
  for (std::string_view numeral :
       {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix", "x"}) {
    if (ascii::EqualsFolded(w, numeral)) return true;
  }
  return false;
}

bool IsCdNumber(std::string_view w) {
  return w.size() == 1 && w[0] >= '1' && w[0] <= '9';
}

enum class PartWord { kNone, kPart, kCd, kDisc };

// Which part word w begins with, and what follows it in w.
PartWord ReadPartWord(std::string_view w, std::string_view& rest) {
  static constexpr struct {
    std::string_view word;
    PartWord kind;
  } kWords[] = {{"part", PartWord::kPart}, {"pt", PartWord::kPart},
                {"cd", PartWord::kCd},     {"disc", PartWord::kDisc},
                {"disk", PartWord::kDisc}};
  for (const auto& k : kWords) {
    if (ascii::StartsFolded(w, k.word)) {
      rest = w.substr(k.word.size());
      return k.kind;
    }
  }
  return PartWord::kNone;
}

bool IsPartNumber(PartWord kind, std::string_view n, bool glued) {
  switch (kind) {
    case PartWord::kPart:
      return IsSmallNumber(n) || (!glued && IsRoman(n));
    case PartWord::kCd:
      return IsCdNumber(n);
    case PartWord::kDisc:
      return IsSmallNumber(n);
    case PartWord::kNone:
      break;
  }
  return false;
}

// Whether a marker can begin at w[0] at all (w runs on past the word): the
// quick refusal that nearly every word of a stem gets ("720p", "BluRay",
// "DTS", "x264-GRP").  What it lets through is read in full.
bool MayBeMarker(std::string_view w) {
  if (w.size() < 2) return false;
  const char second = ascii::AsciiLower(w[1]);
  switch (ascii::AsciiLower(w[0])) {
    case 's':
      return ascii::IsDigit(w[1]) || second == 'e';  // S01E02, S01, Season
    case 'p':
      return second == 'a' || second == 't';  // Part, Pt
    case 'c':
      return second == 'd';  // CD
    case 'd':
      return second == 'i';  // Disc, Disk
    default:
      // 1x02, 01x02
      return ascii::IsDigit(w[0]) && w.size() >= 4 &&
             (second == 'x' || (ascii::IsDigit(w[1]) && ascii::AsciiLower(w[2]) == 'x'));
  }
}

// Two digits that make a number from low to high.
bool IsTwoDigitsIn(std::string_view w, int low, int high) {
  if (w.size() != 2 || !ascii::IsDigit(w[0]) || !ascii::IsDigit(w[1]))
    return false;
  const int value = (w[0] - '0') * 10 + (w[1] - '0');
  return value >= low && value <= high;
}


// Markers of several words, or spelled out, as "/v" and the episode rule read
// them.

// "E", "e", "EP", "Ep", "ep" at w[i], moving i past it.
bool ReadEpisodeLetter(std::string_view w, std::size_t& i) {
  if (!IsChar(w, i, 'e')) return false;
  ++i;
  if (IsChar(w, i, 'p')) ++i;
  return true;
}

// More episodes in the rest of a word: "E03", "-E03", "-03", "EP03".
bool ReadMoreEpisodes(std::string_view w, std::size_t i, Episode& e) {
  while (i < w.size()) {
    if (w[i] == '-') ++i;
    ReadEpisodeLetter(w, i);
    if (!ReadDigits(w, i, 1, 3, e.last)) return false;
  }
  return true;
}

// With "EP" as well as "E": "S01E02", "S01EP02", "S01E01E02", "S01E01-E02", "S01E01-02".
bool ReadSpelledSForm(std::string_view w, Episode& e) {
  std::size_t i = 0;
  if (!IsChar(w, i++, 's') || !ReadDigits(w, i, 1, 2, e.season)) return false;
  if (!ReadEpisodeLetter(w, i) || !ReadDigits(w, i, 1, 3, e.first)) return false;
  e.last = e.first;
  return ReadMoreEpisodes(w, i, e);
}

// "E02", "Ep5", "EP02", "E01E02".
bool ReadEWord(std::string_view w, Episode& e) {
  std::size_t i = 0;
  if (!ReadEpisodeLetter(w, i) || !ReadDigits(w, i, 1, 3, e.first)) return false;
  e.last = e.first;
  return ReadMoreEpisodes(w, i, e);
}

bool IsSeasonWord(std::string_view w, int& season) {
  std::size_t i = 1;
  return w.size() <= 3 && IsChar(w, 0, 's') && ReadDigits(w, i, 1, 2, season) &&
         i == w.size();
}

bool IsNumber(std::string_view w, std::size_t max, int& value) {
  std::size_t i = 0;
  return ReadDigits(w, i, 1, max, value) && i == w.size();
}

// The episode marker at words[at]: the words it takes, 0 for none.
std::size_t ReadEpisodeRun(std::span<const std::string_view> words,
                           std::size_t at, Episode& e) {
  auto word = [&](std::size_t k) {
    return at + k < words.size() ? ascii::TrimBrackets(words[at + k])
                                 : std::string_view();
  };
  std::size_t taken = 0;
  int n = 0;
  if (ReadSpelledSForm(word(0), e) || ReadXForm(word(0), e)) {
    taken = 1;
  } else if (IsSeasonWord(word(0), e.season) && ReadEWord(word(1), e)) {
    taken = 2;  // "S01 E02", "S6 Ep5"
  } else if (ascii::EqualsFolded(word(0), "season") && IsNumber(word(1), 2, e.season) &&
             (ascii::EqualsFolded(word(2), "episode") || ascii::EqualsFolded(word(2), "ep")) &&
             IsNumber(word(3), 3, n)) {
    e.first = e.last = n;  // "Season 1 Episode 2"
    taken = 4;
  } else {
    return 0;
  }
  // Further episodes of the season: "E10", "S03E02", "1x02", "- E03".
  for (;;) {
    std::size_t k = taken;
    if (word(k) == "-") ++k;
    Episode more;
    if (ReadEWord(word(k), more) ||
        ((ReadSpelledSForm(word(k), more) || ReadXForm(word(k), more)) &&
         more.season == e.season)) {
      if (more.last < e.last) break;
      e.last = more.last;
      taken = k + 1;
      continue;
    }
    break;
  }
  return taken;
}

void WriteEpisode(std::string& out, const Episode& e) {
  out.push_back('S');
  AppendNumber(out, e.season);
  out.push_back('E');
  AppendNumber(out, e.first);
  if (e.last != e.first) {
    out.append("-E");
    AppendNumber(out, e.last);
  }
}

}  // namespace

bool IsYearWord(std::string_view word, int highest_year) {
  const std::string_view w = ascii::TrimBrackets(word);
  if (w.size() != 4) return false;
  int value = 0;
  for (char c : w) {
    if (!ascii::IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  return value >= kLowestYear && value <= highest_year;
}

std::size_t ReadSeasonWords(std::string_view word, std::string_view next,
                            std::string* written) {
  int season = 0;
  std::size_t words = 0;
  std::size_t i = 1;
  if (word.size() <= 3 && IsChar(word, 0, 's') &&
      ReadDigits(word, i, 1, 2, season) && i == word.size()) {
    words = 1;
  } else if (ascii::EqualsFolded(word, "season")) {
    i = 0;
    if (!ReadDigits(next, i, 1, 2, season) || i != next.size()) return 0;
    words = 2;
  } else {
    return 0;
  }
  if (written) {
    written->push_back('S');
    AppendNumber(*written, season);
  }
  return words;
}

std::size_t ReadDate(std::string_view word, std::string_view next,
                     std::string_view after, int highest_year,
                     std::string* written) {
  std::string_view year, month, day;
  std::size_t words = 0;
  if (word.size() == 10 && word[4] == '-' && word[7] == '-') {
    year = word.substr(0, 4);
    month = word.substr(5, 2);
    day = word.substr(8, 2);
    words = 1;
  } else if (word.size() == 4) {
    year = word;
    month = next;
    day = after;
    words = 3;
  } else {
    return 0;
  }
  if (!IsYearWord(year, highest_year) || year.size() != 4 ||
      !IsTwoDigitsIn(month, 1, 12) || !IsTwoDigitsIn(day, 1, 31)) {
    return 0;
  }
  if (written) {
    written->append(year);
    written->push_back('-');
    written->append(month);
    written->push_back('-');
    written->append(day);
  }
  return words;
}

std::string_view SampleWord(std::string_view word) {
  // Quick refusal: every such word ends in "e", "r" or a bracket.
  if (word.size() < 6) return {};
  const char last = ascii::AsciiLower(word.back());
  if (last != 'e' && last != 'r' && last != ')') return {};
  std::string_view w = ascii::TrimBrackets(word);
  // Glued to the release group: "x264-GRP-sample".
  const std::size_t dash = w.rfind('-');
  if (dash != std::string_view::npos) w = w.substr(dash + 1);
  if (ascii::EqualsFolded(w, "sample") || ascii::EqualsFolded(w, "trailer"))
    return w;
  return {};
}

void AppendKeptMarkers(std::string_view words, std::string& out) {
  const std::size_t before = out.size();
  out.push_back(' ');
  if (!FindFirstReleaseMarker(words, &out)) out.resize(before);
  // Only a word that ends in "e", "r" or ")" can be one: found from the
  // spaces that end words.
  for (std::size_t start = 0; start < words.size();) {
    const char* space = static_cast<const char*>(
        std::memchr(words.data() + start, ' ', words.size() - start));
    const std::size_t end =
        space ? static_cast<std::size_t>(space - words.data()) : words.size();
    const std::string_view word = words.substr(start, end - start);
    if (const std::string_view sample = SampleWord(word); !sample.empty()) {
      out.push_back(' ');
      out.append(sample);
      break;
    }
    start = end + 1;
  }
}

bool ReadEpisodeMarker(std::string_view word, std::string* written) {
  const std::string_view w = ascii::TrimBrackets(word);
  // Cheap refusals first: most words begin with neither "S" nor a digit.
  if (w.size() < 4) return false;
  Episode e;
  const char c = ascii::AsciiLower(w[0]);
  if (c == 's') {
    if (!ReadSForm(w, e)) return false;
  } else if (ascii::IsDigit(c)) {
    if (!ReadXForm(w, e)) return false;
  } else {
    return false;
  }
  if (written) WriteEpisode(*written, e);
  return true;
}

std::size_t ReadReleaseMarker(std::string_view word, std::string_view next,
                              std::string* written) {
  const std::string_view w = ascii::TrimBrackets(word);
  if (!MayBeMarker(w)) return 0;
  if (ReadEpisodeMarker(w, written)) return 1;
  if (const std::size_t season = ReadSeasonWords(w, next, written)) return season;
  std::string_view rest;
  const PartWord kind = ReadPartWord(w, rest);
  if (kind == PartWord::kNone) return 0;
  if (!rest.empty()) {
    if (!IsPartNumber(kind, rest, true)) return 0;
    if (written) written->append(w);
    return 1;
  }
  const std::string_view n = ascii::TrimBrackets(next);
  if (!IsPartNumber(kind, n, false)) return 0;
  if (written) {
    written->append(w);
    written->push_back(' ');
    written->append(n);
  }
  return 2;
}

bool FindFirstReleaseMarker(std::string_view words, std::string* written) {
  // memchr jumps from word to word; only a word that may begin a marker is
  // read, with the word after it.
  const std::size_t n = words.size();
  const char* const data = words.data();
  for (std::size_t start = 0; start < n;) {
    std::size_t at = start;  // past the word's opening brackets
    while (at < n && words[at] == '(') ++at;
    const char* space =
        static_cast<const char*>(std::memchr(data + start, ' ', n - start));
    const std::size_t end = space ? static_cast<std::size_t>(space - data) : n;
    if (MayBeMarker(words.substr(at))) {
      std::string_view next;
      if (space) {
        const char* after = static_cast<const char*>(
            std::memchr(data + end + 1, ' ', n - end - 1));
        const std::size_t next_end =
            after ? static_cast<std::size_t>(after - data) : n;
        next = words.substr(end + 1, next_end - end - 1);
      }
      if (ReadReleaseMarker(words.substr(start, end - start), next, written) > 0)
        return true;
    }
    if (!space) break;
    start = end + 1;
  }
  return false;
}

bool IsMarkerWord(std::string_view word) {
  if (word.empty() || word.front() == '(' || word.back() == ')') {
    // Brackets are never part of a marker word here (a directory's
    // extension has none anyway).
    return false;
  }
  if (ReadEpisodeMarker(word, nullptr)) return true;
  std::size_t i = 1;
  int value = 0;
  const char c = ascii::AsciiLower(word[0]);
  if ((c == 's' && ReadDigits(word, i, 1, 2, value) && i == word.size()) ||
      (c == 'e' && ReadDigits(word, i, 1, 3, value) && i == word.size())) {
    return true;
  }
  std::string_view rest;
  const PartWord kind = ReadPartWord(word, rest);
  return kind != PartWord::kNone && !rest.empty() &&
         IsPartNumber(kind, rest, true);
}

// An anime episode number: 1 to 4 digits, not a year, "v2" and the like
// after it ("07v2").  The digits are written as the name has them.
bool ReadAnimeNumber(std::string_view w, int highest_year, std::string_view& digits) {
  std::size_t i = 0;
  int value = 0;
  if (!ReadDigits(w, i, 1, 4, value)) return false;
  digits = w.substr(0, i);
  if (i < w.size()) {
    if (!IsChar(w, i, 'v') || i + 2 != w.size() || !ascii::IsDigit(w[i + 1]))
      return false;
  }
  return !IsYearWord(digits, highest_year);
}

std::size_t ReadEpisodeWords(std::span<const std::string_view> words,
                             std::size_t at, int highest_year,
                             std::string* written) {
  Episode e;
  std::size_t taken = ReadEpisodeRun(words, at, e);
  std::string_view digits;
  int season = 0;
  if (taken == 0 && at + 2 < words.size() && words[at + 1] == "-" &&
      IsSeasonWord(words[at], season) &&
      ReadAnimeNumber(ascii::TrimBrackets(words[at + 2]), highest_year,
                      digits)) {
    // "Blue Lantern S2 - 07"
    int number = 0;
    for (char d : digits) number = number * 10 + (d - '0');
    e = {season, number, number};
    taken = 3;
  }
  if (taken > 0 && written) WriteEpisode(*written, e);
  return taken;
}

}  // namespace rules
