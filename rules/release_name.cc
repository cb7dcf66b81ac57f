// The marks of a release name, read from its words left to right, and the
// quick refusals of words and stems that can hold none (see release_name.h).
#include "rules/release_name.h"

#include "rules/ascii.h"
#include "rules/release_grammar.h"
#include "rules/video_tags.h"

namespace rules {
namespace {

struct Episode {
  int season = 0;
  int first = 0;
  int last = 0;
};

// What a "-" glues to an episode mark when it is no more episodes: a tag or
// a release group ("1x01-720p", "1x01-GRP"), a word with a letter other
// than the "x" of "2x9-2x10".
bool GluedAfterDash(std::string_view rest) {
  for (char c : rest) {
    if (ascii::IsLetter(c) && ascii::AsciiLower(c) != 'x') return true;
  }
  return false;
}

// "1920x800", "3840x1600": a picture's width and height, which a season
// numbered by its year and a three-digit episode ("2016x231") would read
// as.  A picture is at most three times as wide as it is high.
bool IsPictureSize(int width, int height) {
  return height >= 100 && width <= 3 * height;
}

// A season number: 1 or 2 digits, 3 with a leading zero ("S006"), or a
// year ("S2016E14").
bool ReadSeasonNumber(std::string_view w, std::size_t& i, int highest_year,
                      int& value) {
  const std::size_t from = i;
  if (!ReadDigits(w, i, 1, 4, value)) return false;
  const std::size_t n = i - from;
  return n <= 2 || (n == 3 && w[from] == '0') ||
         (n == 4 && value >= kLowestYear && value <= highest_year);
}

// "E", "EP" at w[i], moving i past it.
bool ReadEpisodeLetter(std::string_view w, std::size_t& i) {
  if (!IsChar(w, i, 'e')) return false;
  ++i;
  if (IsChar(w, i, 'p')) ++i;
  return true;
}

// More episodes in the rest of a word: "E03", "-E03", "-03", "+E03",
// "-S01E03" (of the same season).
bool ReadMoreEpisodes(std::string_view w, std::size_t i, int highest_year,
                      Episode& e) {
  while (i < w.size()) {
    if (IsReleaseVersion(w.substr(i))) return true;  // "S01E06v2"
    // A release group glued on: "S01E05-Group".
    if (w[i] == '-' && i + 1 < w.size() && ascii::IsLetter(w[i + 1]) &&
        !IsChar(w, i + 1, 'e') && !IsChar(w, i + 1, 's'))
      return true;
    // A tag glued on: "S01E05-1080p".
    if (w[i] == '-' && i + 1 < w.size() && ascii::IsDigit(w[i + 1]) &&
        GluedAfterDash(w.substr(i + 1)))
      return true;
    if (w[i] == '-' || w[i] == '+') ++i;
    if (IsChar(w, i, 's')) {
      ++i;
      int season = 0;
      if (!ReadSeasonNumber(w, i, highest_year, season) || season != e.season)
        return false;
    }
    ReadEpisodeLetter(w, i);
    int last = 0;
    if (!ReadDigits(w, i, 1, 5, last) || last < e.last) return false;
    e.last = last;
  }
  return true;
}

// "S01E02", "S01EP02", "S1-E1", "S01E01E02", "S01E01-02", "S01E01-S01E04".
bool ReadSForm(std::string_view w, int highest_year, Episode& e) {
  std::size_t i = 0;
  if (!IsChar(w, i++, 's') || !ReadSeasonNumber(w, i, highest_year, e.season))
    return false;
  if (i < w.size() && (w[i] == '-' || IsChar(w, i, 'x'))) ++i;  // "S1-E1", "S06xE01"
  if (!ReadEpisodeLetter(w, i) || !ReadDigits(w, i, 1, 5, e.first)) return false;
  e.last = e.first;
  return ReadMoreEpisodes(w, i, highest_year, e);
}

// "1x02", "01x02", "1x1", "4x05-06", "1x02x03", "2x9-2x10", "2016x231".
bool ReadXForm(std::string_view w, int highest_year, Episode& e) {
  std::size_t i = 0;
  const bool year_season = w.size() > 4 && ascii::IsDigit(w[0]) &&
                           ascii::IsDigit(w[1]) && ascii::IsDigit(w[2]) &&
                           ascii::IsDigit(w[3]);
  if (year_season) {
    if (!ReadDigits(w, i, 4, 4, e.season) || e.season < kLowestYear ||
        e.season > highest_year)
      return false;
  } else if (!ReadDigits(w, i, 1, 2, e.season)) {
    return false;
  }
  const std::size_t season_digits = i;
  // "01e02": a season and an episode of two digits each, an "e" between.
  const bool e_form = !year_season && IsChar(w, i, 'e');
  if (!IsChar(w, i, 'x') && !e_form) return false;
  ++i;
  const std::size_t from = i;
  // One digit only after a one-digit season ("1x1", never "16x9"); three
  // only after a year-numbered one.
  if (!ReadDigits(w, i, season_digits == 1 && !e_form ? 1 : 2, year_season ? 3 : 2,
                  e.first))
    return false;
  if (year_season && i - from == 3 && IsPictureSize(e.season, e.first)) return false;
  if (e_form && (i - from != 2 || i != w.size())) return false;
  e.last = e.first;
  while (i < w.size()) {
    if (IsReleaseVersion(w.substr(i))) return true;  // "1x02v2"
    // A release group glued on: "1x01-720p", "1x01-GRP".
    if (w[i] == '-' && GluedAfterDash(w.substr(i + 1))) return true;
    if (w[i] != '-' && w[i] != '+' && !IsChar(w, i, 'x')) return false;
    ++i;
    std::size_t at = i;
    int season = 0;
    if (ReadDigits(w, at, 1, 2, season) && IsChar(w, at, 'x') &&
        season == e.season)
      i = at + 1;  // "2x9-2x10"; else "1x02x03" goes on with episodes
    int last = 0;
    if (!ReadDigits(w, i, 1, 3, last) || last < e.last) return false;
    e.last = last;
  }
  return true;
}

// "E02", "Ep5", "EP02", "E01E02", "E01-03".
bool ReadEWord(std::string_view w, int highest_year, Episode& e) {
  std::size_t i = 0;
  if (!ReadEpisodeLetter(w, i) || !ReadDigits(w, i, 1, 5, e.first)) return false;
  e.last = e.first;
  return ReadMoreEpisodes(w, i, highest_year, e);
}

// "S01", "s1", "S006".
bool IsSeasonWord(std::string_view w, int highest_year, int& season) {
  std::size_t i = 1;
  return w.size() >= 2 && w.size() <= 4 && IsChar(w, 0, 's') &&
         ReadSeasonNumber(w, i, highest_year, season) && i == w.size() &&
         season < 1000;
}

}  // namespace

// An anime episode number: 1 to 5 digits (long-running shows count past
// 9999), not a year, "v2" and the like after it ("07v2"); digits is set to
// the number as written.  With to, also the last of a run ("01-02",
// "10718-10722"), set there.
bool ReadAnimeNumber(std::string_view w, int highest_year, std::string_view& digits,
                     std::string_view* to) {
  std::size_t i = 0;
  int value = 0;
  if (!ReadDigits(w, i, 1, 5, value)) return false;
  digits = w.substr(0, i);
  auto version = [&w](std::size_t& k) {  // "v2" after a number
    if (IsReleaseVersion(w.substr(k, 2))) k += 2;
  };
  version(i);
  if (i < w.size()) {
    // The last of a run: "01-02", "01v2-04", "01v2-03v2".
    int last = 0;
    if (!to || w[i] != '-') return false;
    const std::size_t from = ++i;
    if (!ReadDigits(w, i, 1, 5, last) || last <= value) return false;
    *to = w.substr(from, i - from);
    version(i);
    if (i != w.size()) return false;
  }
  return !IsYearWord(digits, highest_year);
}

namespace {

struct Reader {
  const StemWords& s;
  std::size_t at;
  int highest_year;
  // The first word, asked for by nearly every reading: trimmed once.
  std::string_view first =
      at < s.n ? ascii::TrimBrackets(s.at[at]) : std::string_view();

  std::string_view Word(std::size_t k) const {
    if (k == 0) return first;
    return at + k < s.n ? ascii::TrimBrackets(s.at[at + k]) : std::string_view();
  }

  // The season that begins at word k: "S01", "Season 1", "2nd Season";
  // the words it takes, 0 for none.
  std::size_t Season(std::size_t k, int& season) const {
    if (IsSeasonWord(Word(k), highest_year, season)) return 1;
    if (InList(Word(k), kSeasonWords) && IsNumber(Word(k + 1), 2, season))
      return 2;
    const std::string_view w = Word(k);
    std::size_t i = 0;
    if (ReadDigits(w, i, 1, 2, season) && w.size() == i + 2 &&
        InList(w.substr(i), kOrdinalEnds) && InList(Word(k + 1), kSeasonWords))
      return 2;
    return 0;
  }

  // The episode that begins at word k after a season: "E02", "E 02",
  // "Episode 2", "- 07"; the words it takes, 0 for none.
  std::size_t EpisodeAfterSeason(std::size_t k, Episode& e) const {
    std::size_t dash = Word(k) == "-" ? 1 : 0;
    if (ReadEWord(Word(k + dash), highest_year, e)) return dash + 1;
    int n = 0;
    if (InList(Word(k + dash), kEpisodeWords)) {
      // "Episode 2", "Episode 05-06"
      const std::string_view number = Word(k + dash + 1);
      std::size_t i = 0;
      if (ReadDigits(number, i, 1, 3, e.first)) {
        e.last = e.first;
        if (ReadMoreEpisodes(number, i, highest_year, e)) return dash + 2;
      }
      e = Episode{e.season};
    }
    std::string_view digits;
    if (dash && ReadAnimeNumber(Word(k + 1), highest_year, digits) &&
        digits.size() <= 3) {  // as "S02E07" is read back
      IsNumber(digits, 3, n);
      e.first = e.last = n;
      return 2;
    }
    return 0;
  }

  // The episode marker here: the words it takes, 0 for none.
  // Without an episode, season_words and season_read hold what Season(0)
  // answered when it was asked (0 words when not), which the reading asks next.
  std::size_t Episodes(Episode& e, std::size_t& season_words, int& season_read) const {
    std::size_t taken = 0;
    bool x_form = false;
    if (ReadSForm(Word(0), highest_year, e)) {
      taken = 1;
    } else if (!AfterChannels() && ReadXForm(Word(0), highest_year, e)) {
      taken = 1;
      x_form = true;  // "8x01 02"
    } else if (int n = 0; at + 2 < s.n && s.at[at + 1] == "x" && s.at[at].size() <= 2 &&
               IsNumber(s.at[at], 2, e.season) && s.at[at + 2].size() == 2 &&
               IsNumber(s.at[at + 2], 2, n)) {  // bare words only, no brackets
      e.first = e.last = n;  // "1 x 02"
      taken = 3;
      x_form = true;
    } else if (const std::size_t season = season_words = Season(0, season_read)) {
      e.season = season_read;
      const std::size_t ep = EpisodeAfterSeason(season, e);
      if (ep == 0) return 0;
      taken = season + ep;
    } else if (ascii::EqualsFolded(Word(0), "cap") && Word(1).size() == 3 &&
               IsNumber(Word(1), 3, e.first)) {
      e.season = e.first / 100;  // "Cap 408": season 4, episode 8
      e.first = e.last = e.first % 100;
      taken = 2;
    } else {
      return 0;
    }
    // Further episodes of the season: "E10", "S03E02", "1x02", "- E03",
    // "S03 E02", "22" after a period ("S03E21.22").
    for (;;) {
      std::size_t k = taken, words = 1;
      if (Word(k) == "-" || Word(k) == "+") ++k;
      Episode more;
      more.season = e.season;
      more.last = e.last;
      int n = 0;
      if (ReadEWord(Word(k), highest_year, more) ||
          ((ReadSForm(Word(k), highest_year, more) ||
            ReadXForm(Word(k), highest_year, more)) &&
           more.season == e.season)) {
      } else if (k == taken && (s.PeriodBefore(at + k) || x_form) &&
                 IsNumber(Word(k), 3, n) && Word(k).size() >= 2 && n == e.last + 1) {
        more.first = more.last = n;
      } else if (IsSeasonWord(Word(k), highest_year, n) && n == e.season &&
                 ReadEWord(Word(k + 1), highest_year, more)) {
        words = 2;
      } else {
        break;
      }
      if (more.first <= e.last) break;  // "S01E02 E2" is no run
      e.last = more.last;
      taken = k + words;
    }
    return taken;
  }

  // Whether the raw name joined this word to a number before it by a
  // period: "5.1x2", "2.0x2" are audio channels, never "1x2".
  bool AfterChannels() const {
    if (at == 0 || !s.PeriodBefore(at) || !ascii::IsDigit(s.at[at - 1].back()))
      return false;
    const std::string_view before = s.at[at - 1];
    return before.size() == 1 || before.find('+') != std::string_view::npos ||  // "5.1x3+2.0x1"
           MatchVideoTag(s.all(), at - 1).kind == TagKind::kAudio;  // "AAC2.0x2"
  }

  // Whether a word from i on closes a group before another opens.
  bool ClosesLater(std::size_t i) const {
    for (; i < s.n && s.at[i].front() != '('; ++i)
      if (s.at[i].find(')') != std::string_view::npos) return true;
    return false;
  }

  // Whether word i follows the word before it after exactly one space.
  bool Adjacent(std::size_t i) const {
    return s.at[i].data() == s.at[i - 1].data() + s.at[i - 1].size() + 1;
  }

  std::size_t Date(Mark& m) const {
    std::string_view word = s.at[at];
    std::string_view year, month, day;
    std::size_t words = 0;
    const bool open = !word.empty() && word.front() == '(';
    if (open) word.remove_prefix(1);
    if (const std::string_view bare = ascii::TrimBrackets(word);
        bare.size() == 10 && bare[4] == '-' && bare[7] == '-') {
      // Brackets aside, as a number kept unplaced is written without them.
      year = bare.substr(0, 4);
      month = bare.substr(5, 2);
      day = bare.substr(8, 2);
      words = 1;
    } else if (word.size() == 4 && at + 2 < s.n && Adjacent(at + 1) &&
               Adjacent(at + 2)) {
      year = word;
      month = s.at[at + 1];
      day = s.at[at + 2];
      // In a group, alone or with other words: "(2019 03 14)",
      // "(2019 03 14 Live)", "(Live 2019 03 14)"; a group the date opens
      // closes.
      if (day.size() == 3 && day.back() == ')') {
        day.remove_suffix(1);
      } else if (open && !ClosesLater(at + 3)) {
        return 0;
      }
      words = 3;
    } else {
      return OtherDate(m);
    }
    auto two_digits_in = [](std::string_view w, int low, int high) {
      int v = 0;
      return w.size() == 2 && IsNumber(w, 2, v) && v >= low && v <= high;
    };
    if (!IsYearWord(year, highest_year) || !two_digits_in(month, 1, 12) ||
        !two_digits_in(day, 1, 31))
      return !open ? OtherDate(m) : 0;
    m.text = year;
    m.month = month;
    m.day = day;
    return words;
  }

  // The dates in other orders, written out with numbers:
  //  - "2012 16 02": year, day, month, the day over 12;
  //  - "14 03 2019", "04 28 2014": day and month in either order when
  //    exactly one of them is over 12, which is the day ("04 05 2019" is
  //    never guessed);
  //  - "5th Mar 2025", "16 November 2016";
  //  - "20190314" in one word.
  std::size_t OtherDate(Mark& m) const {
    auto number = [](std::string_view w, int& v) {
      return !w.empty() && w.size() <= 2 && IsNumber(w, 2, v);
    };
    std::string_view part[3];
    std::size_t words = 3;
    // One word of three numbers between dashes ("14-03-2019"), or three
    // words.
    const std::string_view one = s.at[at];
    const std::size_t dash = one.find('-'), dash2 = one.rfind('-');
    if (dash != std::string_view::npos && dash2 > dash + 1 && dash2 + 1 < one.size() &&
        one.find('-', dash + 1) == dash2) {
      part[0] = one.substr(0, dash);
      part[1] = one.substr(dash + 1, dash2 - dash - 1);
      part[2] = one.substr(dash2 + 1);
      words = 1;
    } else if (at + 2 < s.n && Adjacent(at + 1) && Adjacent(at + 2)) {
      part[0] = one;
      part[1] = s.at[at + 1];
      part[2] = s.at[at + 2];
    }
    int a = 0, b = 0, month = 0;
    m.date_form = 1;
    if (!part[2].empty()) {
      if (part[0].size() == 4 && number(part[1], a) && a > 12 && a <= 31 &&
          number(part[2], b) && b >= 1 && b <= 12 && IsYearWord(part[0], highest_year)) {
        m.text = part[0];
        m.year_at = m.at;
        m.first = b;
        m.last = a;
        if (words == 1) m.date_form = 2;
        return words;
      }
      // Else on to the one word of eight digits ("20120121 x 2010").
      bool settled = false;
      if (part[2].size() == 4 && IsYearWord(part[2], highest_year)) {
        if (number(part[0], a) && number(part[1], b) && a >= 1 && b >= 1 &&
            a <= 31 && b <= 31 && (a > 12) != (b > 12)) {
          m.first = a > 12 ? b : a;
          m.last = a > 12 ? a : b;
          settled = true;
        } else if (words == 3 && Day(part[0], a) && (month = MonthNumber(part[1])) > 0) {
          m.first = month;
          m.last = a;
          settled = true;
        }
      }
      if (settled) {
        m.text = part[2];
        m.year_at = static_cast<std::uint8_t>(words == 3 ? at + 2 : at);
        if (words == 1) m.date_form = 2;
        return words;
      }
    }
    auto plain = [&](std::size_t k) {
      return at + k < s.n && (k == 0 || Adjacent(at + k)) ? s.at[at + k]
                                                          : std::string_view();
    };
    // "20190314": year, month, day in one word.
    const std::string_view w = ascii::TrimBrackets(plain(0));
    if (w.size() == 8 && IsNumber(w.substr(0, 4), 4, a) &&
        IsYearWord(w.substr(0, 4), highest_year) && IsNumber(w.substr(4, 2), 2, month) &&
        IsNumber(w.substr(6, 2), 2, b) && month >= 1 && month <= 12 && b >= 1 &&
        b <= 31) {
      m.date_form = 2;
      m.text = w.substr(0, 4);
      m.first = month;
      m.last = b;
      return 1;
    }
    m.date_form = 0;
    return 0;
  }

  // A day of the month: "5", "05", "5th", "21st".
  static bool Day(std::string_view w, int& day) {
    std::size_t i = 0;
    if (!ReadDigits(w, i, 1, 2, day) || day < 1 || day > 31) return false;
    return i == w.size() || (w.size() == i + 2 && InList(w.substr(i), kOrdinalEnds));
  }


  std::size_t Part(Mark& m) const {
    const std::string_view w = Word(0);
    for (const auto& p : kPartWords) {
      if (!ascii::StartsFolded(w, p.word)) continue;
      const std::string_view rest = w.substr(p.word.size());
      const bool glued = !rest.empty();
      const std::string_view n = glued ? rest : Word(1);
      int value = 0;
      bool ok = false;
      if (p.kind == PartWord::kCd) {
        ok = n.size() == 1 && n[0] >= '1' && n[0] <= '9';
        value = ok ? n[0] - '0' : 0;
      } else if (IsNumber(n, 2, value)) {
        ok = true;
      } else if (p.kind == PartWord::kPart && !glued) {
        for (std::size_t r = 0; r < std::size(kRoman); ++r) {
          if (ascii::EqualsFolded(n, kRoman[r])) {
            ok = true;
            value = static_cast<int>(r) + 1;
          }
        }
      }
      if (!ok) return 0;
      m.part = static_cast<std::uint8_t>(value > 99 ? 99 : value);
      return glued ? 1 : 2;
    }
    return 0;
  }
};

// The sample or trailer word, glued to a group or not ("x264-GRP-sample").
std::string_view SampleWord(std::string_view word) {
  std::string_view w = ascii::TrimBrackets(word);
  const std::size_t dash = w.rfind('-');
  if (dash != std::string_view::npos) w = w.substr(dash + 1);
  return InList(w, kSampleWords) ? w : std::string_view();
}

// "5", "1GB", "20Mbps".
bool IsNumberOrSize(std::string_view w) {
  std::size_t d = 0;
  while (d < w.size() && ascii::IsDigit(w[d])) ++d;
  return d > 0 && (d == w.size() || InList(w.substr(d), kSizeUnits));
}

// Episodes numbered without a season in the other ways anime and numbered
// shows write them: "- Episode 05", "#17", "ep34", "07" before a bracket
// tag ("Show 07 [1080p]"), a bracket group of its own among bracket groups
// ("[Title][2019][215][1080P]").  The words taken, the number in m.text.
std::size_t AnimeWithoutDash(const StemWords& s, std::size_t at, int highest_year,
                             Mark& m) {
  const std::string_view word = s.at[at];
  const std::string_view next = at + 1 < s.n ? s.at[at + 1] : std::string_view();
  int n = 0;
  std::string_view digits;
  if (word == "-" && InList(next, kEpisodeWords) && at + 2 < s.n &&
      ReadAnimeNumber(s.at[at + 2], highest_year, digits)) {
    m.text = digits;
    return 3;
  }
  // Brackets aside, as a number kept unplaced is written without them.
  const std::string_view bare = ascii::TrimBrackets(word);
  // Never a year, which "- 2012" would be when written.
  if (bare.size() >= 2 && bare[0] == '#' && IsNumber(bare.substr(1), 4, n) &&
      !IsYearWord(bare.substr(1), highest_year)) {
    m.text = bare.substr(1);
    return 1;
  }
  std::size_t i = 0;
  if (ReadEpisodeLetter(bare, i) && i == 2 && ReadDigits(bare, i, 1, 5, n) &&
      !IsYearWord(bare.substr(2, i - 2), highest_year)) {
    m.text = bare.substr(2, i - 2);  // "ep34", "Ep10718"
    // The last of a run: "Ep10718-Ep10722", "Ep10718 - Ep10722".
    auto last_of = [&](std::string_view w) {
      std::size_t k = 0;
      int last = 0;
      ReadEpisodeLetter(w, k);
      const std::size_t from = k;
      return ReadDigits(w, k, 1, 5, last) && k == w.size() && last > n
                 ? w.substr(from) : std::string_view();
    };
    if (i == bare.size()) {
      if (next == "-" && at + 2 < s.n &&
          !(m.to = last_of(ascii::TrimBrackets(s.at[at + 2]))).empty())
        return 3;
      return 1;
    }
    if (bare[i] == '-' && !(m.to = last_of(bare.substr(i + 1))).empty()) return 1;
    m.text = {};
  }
  if (!ReadAnimeNumber(word, highest_year, digits) || digits.size() < 2 ||
      digits.size() > 4)
    return 0;
  // A number with its release's version ("02v2", "04V2") is an episode's
  // wherever it stands.
  if (digits.size() + 2 == word.size() && at > 0) {
    m.text = digits;
    return 1;
  }
  if (digits.size() != word.size()) return 0;
  // "07" before a bracket tag, in a name a bracket group opens or with a
  // leading zero.
  // A bracketed year is no tag: "News 04 05 (2019)" holds no number.
  if (!next.empty() && next.front() == '(' && at > 0 &&
      !(next.size() == 6 && next.back() == ')' && IsYearWord(next, highest_year)) &&
      (word[0] == '0' || s.at[0].front() == '(')) {
    m.text = digits;
    return 1;
  }
  return 0;
}

// "190314" right after a title: year, month and day of a daily show, read
// only where nothing else is likely: the name's first mark, after a word
// of letters, a valid day of its month, and a release tag further on (so
// "Invoice 200101" and "Show 123456" stay numbers).  The century is the
// later one the highest year allows.
bool ReadShortDate(const StemWords& s, std::size_t at, int highest_year, Mark& m) {
  const std::string_view w = s.at[at];
  int yy = 0, month = 0, day = 0;
  if (at == 0 || w.size() != 6 || !IsNumber(w, 6, yy) ||
      !IsNumber(w.substr(2, 2), 2, month) || !IsNumber(w.substr(4, 2), 2, day))
    return false;
  yy /= 10000;
  constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  const int year = 2000 + yy <= highest_year ? 2000 + yy : 1900 + yy;
  if (year < kLowestYear ||
      (month == 2 && day == 29 && (year % 4 != 0 || (year % 100 == 0 && year % 400 != 0))))
    return false;
  bool letter = false;
  for (char c : s.at[at - 1]) {
    if (ascii::IsDigit(c) || c == '(' || c == ')') return false;
    letter = letter || ascii::IsLetter(c) || (c & 0x80);
  }
  if (!letter) return false;
  bool tag = false;
  for (std::size_t k = at + 1; k < s.n && !tag; ++k)
    tag = MatchVideoTag(s.all(), k).words > 0;
  if (!tag) return false;
  m.date_form = 3;
  m.century = static_cast<std::uint8_t>(year / 100);
  m.text = w.substr(0, 2);
  m.first = month;
  m.last = day;
  return true;
}

}  // namespace

bool IsBracketNumberAfterGroup(std::span<const std::string_view> s, std::size_t at,
                               int highest_year) {
  const std::string_view w = s[at];
  std::string_view digits;
  return at > 0 && w.size() >= 3 && w.front() == '(' && w.back() == ')' &&
         s[at - 1].back() == ')' &&
         ReadAnimeNumber(w.substr(1, w.size() - 2), highest_year, digits) &&
         digits.size() == w.size() - 2 && digits.size() <= 4;
}

namespace {

// Which words can begin a mark: the quick refusal nearly every word gets,
// made from the grammar's words (rules/release_grammar.h).  A word
// beginning with a digit or one of "()-#" may; one beginning with a letter
// only when its first three bytes begin a word of the grammar ("Season",
// "Part2", "CD1", "sample"; a word of two letters, "Se", "pt", also before
// a digit) or are "S" and a digit.  Samples glued to a group
// ("x264-GRP-sample") are found by their ending.
struct FirstLetters {
  std::uint32_t third[26][26] = {};  // bits 0-25 a letter, 26 a digit, 27 the end
};

constexpr int ByteClass(std::string_view w, std::size_t i) {
  if (i == w.size()) return 27;
  const char c = w[i] >= 'A' && w[i] <= 'Z' ? static_cast<char>(w[i] - 'A' + 'a') : w[i];
  return c >= '0' && c <= '9' ? 26 : c >= 'a' && c <= 'z' ? c - 'a' : -1;
}

// Built once, by the compiler: the quick refusal runs on every word.
constexpr FirstLetters kMarkFirstLetters = [] {
  FirstLetters f;
  auto add = [&f](std::string_view w) {
    if (w.size() < 2 || ByteClass(w, 0) >= 26 || ByteClass(w, 1) >= 26) return;
    std::uint32_t& bits = f.third[w[0] - 'a'][w[1] - 'a'];
    if (w.size() == 2) {
      bits |= 1u << 26 | 1u << 27;
    } else if (ByteClass(w, 2) >= 0) {
      bits |= 1u << ByteClass(w, 2);
    }
  };
  add("cap");
  add("ep");  // "ep34"
  for (std::string_view w : kSeasonWords) add(w);
  for (const auto& p : kPartWords) add(p.word);
  for (std::string_view w : kSampleWords) add(w);
  return f;
}();

// Whether a word that begins with digits may begin a mark, by the number of
// digits and the byte after them: a year or a date's year (4, then the
// end, "-" or "x" of "2016x231"), a date in one word (6 or 8), a day,
// month, season or episode number (1 or 2, then the end, "-", "x", an
// ordinal's letters or the "v" of "07v2"), an anime number (up to 5, "-"
// before the last of a run).
bool MayBeginWithDigits(std::string_view w) {
  std::size_t n = 0;
  while (n < w.size() && ascii::IsDigit(w[n])) ++n;
  const char after =
      n < w.size() && w[n] != '(' ? ascii::AsciiLower(w[n]) : ')';  // ")": an end
  switch (n) {
    case 1:
    case 2:
      return after == ')' || after == 'x' || after == 's' || after == 'n' ||
             after == 'r' || after == 't' || after == 'v' || after == '-' ||
             after == 'e';  // "01e02"
    case 3:
      return after == ')' || after == 'v' || after == '-';
    case 5:
      return after == ')' || after == '-';
    case 4:
      return after == ')' || after == '-' || after == 'x' || after == 'v';
    case 6:
    case 8:
      return after == ')';
    default:
      return false;
  }
}

// Whether word, its closing brackets aside, ends with a sample word.
bool EndsWithSampleWord(std::string_view word) {
  std::size_t end = word.size();
  while (end > 1 && word[end - 1] == ')') --end;
  // Asked of nearly every word: the last letter of "sample" or "trailer"
  // first.
  if (end < 6) return false;
  const char last = ascii::AsciiLower(word[end - 1]);
  if (last != 'e' && last != 'r') return false;
  for (std::string_view w : kSampleWords) {
    if (end >= w.size() && ascii::EqualsFolded(word.substr(end - w.size(), w.size()), w))
      return true;
  }
  return false;
}

// 0: no mark begins here; 1: a letter-first word that may, or a sample
// glued to any word ("720p-Sample", "Été-Sample"); 2: any other.
int MayBeginMark(std::string_view word) {
  const char first = word[0];
  const int c = ByteClass(word, 0);
  if (ascii::IsDigit(first)) {
    if (MayBeginWithDigits(word)) return 2;
  } else if (c >= 0) {  // a letter
    if (word.size() >= 2) {
      const int d = ByteClass(word, 1);
      if (d == 26 && c == 's' - 'a') return 1;  // S01E02, S01
      const int e = ByteClass(word, 2);
      if (d >= 0 && d < 26 && e >= 0 && ((kMarkFirstLetters.third[c][d] >> e) & 1u))
        return 1;
    }
  } else if (first == '(' && word.size() > 1 && ByteClass(word, 1) >= 0) {
    const int d = ByteClass(word, 1);
    if (d < 26)
      return MayBeginMark(word.substr(1)) == 0 ? 0 : 2;  // "(S01E02)", "(Sample)"
    if (MayBeginWithDigits(word.substr(1))) return 2;
  } else if (first == '(' || first == ')' || first == '-' || first == '#') {
    return 2;
  }
  return EndsWithSampleWord(word) && !SampleWord(word).empty() ? 1 : 0;
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

std::size_t YearReadingStart(std::string_view stem, int highest_year) {
  // The last year word, or the year of a date in one word ("2019-03-14"):
  // four digits between a space or bracket or the start, and a space,
  // bracket, "-" or the end.  Searched from the end, four bytes at a time:
  // a run of four digits ending at e holds the byte at e - 4 + k for every
  // k up to 3, so a byte that is no digit rules out four ends at once.
  auto digit = [&stem](std::size_t i) { return ascii::IsDigit(stem[i]); };
  for (std::size_t e = stem.size(); e >= 4;) {
    if (!digit(e - 4)) {
      e -= 4;
      continue;
    }
    if (!digit(e - 1) || !digit(e - 2) || !digit(e - 3)) {
      --e;
      continue;
    }
    const std::size_t i = e - 4;
    const char before = i > 0 ? stem[i - 1] : ' ';
    const char after = e < stem.size() ? stem[e] : ' ';
    if (before != ' ' && before != '(' && before != ')') {
      --e;
      continue;
    }
    const int value = (stem[i] - '0') * 1000 + (stem[i + 1] - '0') * 100 +
                      (stem[i + 2] - '0') * 10 + (stem[i + 3] - '0');
    // Before a "-", only as a date's year: "2019-03-14" ("2010-bit10" and
    // "2012-16-02" hold no year the rule keeps).
    auto two = [&stem](std::size_t at, int low, int high) {
      if (at + 2 > stem.size() || !ascii::IsDigit(stem[at]) || !ascii::IsDigit(stem[at + 1]))
        return false;
      const int v = (stem[at] - '0') * 10 + (stem[at + 1] - '0');
      return v >= low && v <= high;
    };
    const bool dated = after == '-' && e + 6 <= stem.size() && two(e + 1, 1, 12) &&
                       stem[e + 3] == '-' && two(e + 4, 1, 31) &&
                       (e + 6 == stem.size() || stem[e + 6] == ' ' || stem[e + 6] == ')');
    if ((before == ' ' || before == '(' || before == ')') &&
        (after == ' ' || after == '(' || after == ')' || dated) &&
        value >= kLowestYear && value <= highest_year) {
      // Two words back: where a date ending in this year begins.
      std::size_t from = i;
      for (int words = 0; words < 3 && from > 0; ) {
        if (stem[--from] == ' ' && ++words == 3) ++from;
      }
      return from;
    }
    --e;
  }
  return std::string_view::npos;
}

namespace {

bool IsLetterIn(char c, std::string_view lower) {
  return lower.find(ascii::AsciiLower(c)) != std::string_view::npos;
}

}  // namespace

bool MayHoldEpisode(std::string_view stem, int highest_year) {
  // Every season, episode and date of the grammar holds a run of digits:
  // one that an "S" opens or an "x" joins to another ("S01", "1x02"), a
  // date's ("2019 03 14", "14-03-2019", "5th Mar 2025", "190314"), or the
  // number after a season word ("Season 1", "Cap 408", "2nd Season").
  // Tags' digits ("1080p", "x264", "2010 720p") hold none of these.
  const std::size_t n = stem.size();
  auto bound = [](char c) { return c == ' ' || c == '(' || c == ')' || c == '-'; };
  auto short_run = [&](std::size_t from, std::size_t to) {  // 1 or 2 digits
    return to > from && to - from <= 2;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (!ascii::IsDigit(stem[i])) continue;
    std::size_t end = i;
    while (end < n && ascii::IsDigit(stem[end])) ++end;
    const std::size_t run = end - i;
    const char before = i > 0 ? stem[i - 1] : ' ';
    const char after = end < n ? stem[end] : ' ';
    // A season number after an "S" that opens a word: 1 or 2 digits, 3
    // with a leading zero, or a year before its episode ("S2016E14").
    if ((before == 's' || before == 'S') &&
        (i < 2 || stem[i - 2] == ' ' || stem[i - 2] == '(') &&
        (after == 'e' || after == 'E' || after == '-' || after == 'x' || after == 'X' ||
         (run <= 3 && bound(after))) &&
        (run <= 2 || (run == 3 && stem[i] == '0') ||
         (run == 4 && IsYearWord(stem.substr(i, 4), highest_year))))
      return true;
    if ((after == 'x' || after == 'X') && end + 1 < n && ascii::IsDigit(stem[end + 1]))
      return true;
    // "01e02" and "1 x 02".
    if (run <= 2 && (after == 'e' || after == 'E') && end + 1 < n &&
        ascii::IsDigit(stem[end + 1]))
      return true;
    if (run <= 2 && after == ' ' && end + 3 < n && (stem[end + 1] == 'x' || stem[end + 1] == 'X') &&
        stem[end + 2] == ' ' && ascii::IsDigit(stem[end + 3]))
      return true;
    if (bound(before)) {
      // The word's start past its brackets, and the word before it.
      std::size_t start = i;
      while (start > 0 && (stem[start - 1] == '(' || stem[start - 1] == ')')) --start;
      const bool spaced = start > 0 && stem[start - 1] == ' ';
      auto last_byte = [&] {  // of the word before, past its brackets
        std::size_t k = start - 1;
        while (k > 0 && (stem[k - 1] == '(' || stem[k - 1] == ')')) --k;
        return k > 0 ? stem[k - 1] : ' ';
      };
      auto previous_word = [&] {
        std::size_t k = start - 1;
        while (k > 0 && stem[k - 1] != ' ') --k;
        return ascii::TrimBrackets(stem.substr(k, start - 1 - k));
      };
      if (run == 6 || run == 8) {
        if (bound(after)) return true;
      } else if (run == 4) {
        // A year with a day or month beside it, or a month's name before.
        std::size_t k = end + 1;
        while (k < n && ascii::IsDigit(stem[k])) ++k;
        if ((after == ' ' || after == '-') && short_run(end + 1, k) &&
            (k == n || bound(stem[k])))
          return true;
        if (start >= 2 && (stem[start - 1] == ' ' || stem[start - 1] == '-') &&
            ascii::IsDigit(stem[start - 2])) {
          k = start - 1;
          while (k > 0 && ascii::IsDigit(stem[k - 1])) --k;
          if (short_run(k, start - 1) && (k == 0 || bound(stem[k - 1]))) return true;
        }
        if (spaced && IsLetterIn(last_byte(), "yhletrnbgpvc")) {  // of the months
          if (MonthNumber(previous_word()) > 0) return true;
        }
      } else if (run <= 3) {
        if (run <= 2 && end + 1 < n && ascii::IsLetter(after) &&
            InList(stem.substr(end, 2), kOrdinalEnds))
          return true;
        // Past a letter the season words and "cap" end with.
        if (spaced && IsLetterIn(last_byte(), "aelnps")) {
          const std::string_view word = previous_word();
          if (InList(word, kSeasonWords) || ascii::EqualsFolded(word, "cap")) return true;
        }
      }
    }
    i = end;
  }
  return false;
}

namespace {

// The words of stem into w, in place: the record is not copied.
void SplitInto(std::string_view stem, StemWords& w) {
  // A plain loop: words are short, and a search call per word costs more.
  const char* p = stem.data();
  const char* const end = p + stem.size();
  while (p < end) {
    if (w.n == kMaxWords - 1) {  // the last word holds the rest
      w.at[w.n++] = std::string_view(p, static_cast<std::size_t>(end - p));
      return;
    }
    const char* q = p;
    while (q < end && *q != ' ') ++q;
    if (q > p) w.at[w.n++] = std::string_view(p, static_cast<std::size_t>(q - p));
    if (q == end) return;
    p = q + 1;
  }
}

}  // namespace

StemWords SplitWords(std::string_view stem, std::uint64_t period_before) {
  StemWords w;
  w.period_before = period_before;
  SplitInto(stem, w);
  return w;
}

namespace {

// The mark at words[at], whose quick refusal gave may (not 0); first_mark:
// no mark comes before it.
Mark ReadMarkAfter(const StemWords& s, std::size_t at, int highest_year, int may,
                   bool first_mark) {
  Mark m;
  const std::string_view word = s.at[at];
  m.at = static_cast<std::uint8_t>(at);
  const Reader r{s, at, highest_year};
  const std::string_view bare = r.first;
  if (may == 1 || (!bare.empty() && !ascii::IsDigit(bare[0])) ||
      EndsWithSampleWord(bare)) {  // "-sample", "DD5.1-Sample"
    const std::string_view sample = SampleWord(word);
    if (!sample.empty()) {
      m.kind = MarkKind::kSample;
      m.text = sample;
      m.words = 1;
      return m;
    }
  }
  if (!bare.empty() && ascii::IsDigit(bare[0])) {
    // A lone number of one or two digits ("DD5 1") begins only a date a
    // year ends, or an episode number before a bracket group.
    if (bare.size() == word.size() && word.size() <= 2 && ascii::IsDigit(word.back()) &&
        !(at + 2 < s.n && s.at[at + 2].size() == 4) &&
        !(at + 1 < s.n && s.at[at + 1].front() == '(') &&
        !(at + 2 < s.n && s.at[at + 1] == "x"))  // "1 x 02"
      return m;
    // A year that no number follows begins no date: most years.
    if (bare.size() == 4 && (at + 1 == s.n || !ascii::IsDigit(s.at[at + 1][0])) &&
        IsYearWord(bare, highest_year)) {
      m.kind = MarkKind::kYear;
      m.text = bare;
      m.words = 1;
      return m;
    }
    if (const std::size_t n = r.Date(m)) {
      m.kind = MarkKind::kDate;
      m.words = static_cast<std::uint8_t>(n);
      return m;
    }
    if (first_mark && ReadShortDate(s, at, highest_year, m)) {
      m.kind = MarkKind::kDate;
      m.words = 1;
      return m;
    }
    if (IsYearWord(word, highest_year)) {
      m.kind = MarkKind::kYear;
      m.text = bare;
      m.words = 1;
      return m;
    }
    if (IsBracketNumberAfterGroup(s.all(), at, highest_year)) {
      m.kind = MarkKind::kAnime;
      m.text = bare;
      m.words = 1;
      return m;
    }
  }
  Episode e;
  std::size_t season_words = 0;
  int season = 0;
  if (const std::size_t n = r.Episodes(e, season_words, season)) {
    m.kind = MarkKind::kEpisode;
    m.season = e.season;
    m.first = e.first;
    m.last = e.last;
    m.words = static_cast<std::uint8_t>(n);
    return m;
  }
  // Episodes asked for the season word already.
  if (const std::size_t n = season_words) {
    if (!ascii::IsDigit(r.Word(0)[0]) || n == 2) {
      m.kind = MarkKind::kSeason;
      m.season = season;
      m.words = static_cast<std::uint8_t>(n);
      return m;
    }
  }
  if (may == 2 && word[0] != '-' && word[0] != '#' && word[0] != '(') {
    // A word of digits: no part, and an episode number only before a
    // bracket tag.
    if (const std::size_t n = AnimeWithoutDash(s, at, highest_year, m)) {
      m.kind = MarkKind::kAnime;
      m.words = static_cast<std::uint8_t>(n);
    }
    return m;
  }
  if (const std::size_t n = r.Part(m)) {
    m.kind = MarkKind::kPart;
    m.words = static_cast<std::uint8_t>(n);
    return m;
  }
  std::string_view digits;
  if (const std::size_t n = AnimeWithoutDash(s, at, highest_year, m)) {
    m.kind = MarkKind::kAnime;
    m.words = static_cast<std::uint8_t>(n);
    return m;
  }
  if (word == "-" && at + 1 < s.n &&
      ReadAnimeNumber(ascii::TrimBrackets(s.at[at + 1]), highest_year, digits, &m.to)) {
    m.kind = MarkKind::kAnime;
    m.text = digits;
    m.words = 2;
    // "- 12.5": a half episode, as the raw name writes it; any other word
    // of digits a period joins on makes the number no episode's ("- 1.1GB",
    // "- 5.1").
    if (at + 2 < s.n && s.PeriodBefore(at + 2) && IsNumberOrSize(s.at[at + 2])) {
      if (digits.size() != s.at[at + 1].size() || s.at[at + 2] != "5" ||
          (at + 3 < s.n && InList(ascii::TrimBrackets(s.at[at + 3]), kSizeUnits)))
        return Mark();  // "- 2.5 GB" is a size
      m.day = s.at[at + 2];
      m.words = 3;
    }
    return m;
  }
  return m;
}

}  // namespace

Mark ReadMark(const StemWords& s, std::size_t at, int highest_year) {
  if (at >= s.n || s.at[at].empty()) return Mark();
  const int may = MayBeginMark(s.at[at]);
  if (may == 0) {
    Mark m;
    m.at = static_cast<std::uint8_t>(at);
    return m;
  }
  return ReadMarkAfter(s, at, highest_year, may, /*first_mark=*/true);
}

namespace {

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

}  // namespace

void AppendMark(const Mark& m, const StemWords& s, std::string& out) {
  switch (m.kind) {
    case MarkKind::kEpisode:
      out.push_back('S');
      AppendNumber(out, m.season);
      out.push_back('E');
      AppendNumber(out, m.first);
      if (m.last != m.first) {
        out.append("-E");
        AppendNumber(out, m.last);
      }
      break;
    case MarkKind::kSeason:
      out.push_back('S');
      AppendNumber(out, m.season);
      break;
    case MarkKind::kDate:
      if (m.date_form == 3) AppendNumber(out, m.century);
      out.append(m.text);
      out.push_back('-');
      if (m.date_form == 0) {
        out.append(m.month);
        out.push_back('-');
        out.append(m.day);
      } else {
        AppendNumber(out, m.first);
        out.push_back('-');
        AppendNumber(out, m.last);
      }
      break;
    case MarkKind::kYear:
    case MarkKind::kSample:
      out.append(m.text);
      break;
    case MarkKind::kPart:
      for (std::size_t k = m.at; k < m.at + m.words; ++k) {
        if (k > m.at) out.push_back(' ');
        out.append(ascii::TrimBrackets(s.at[k]));
      }
      break;
    case MarkKind::kAnime:
      out.append("- ");
      out.append(m.text);
      if (!m.to.empty()) {
        out.push_back('-');
        out.append(m.to);
      }
      if (!m.day.empty()) {
        out.push_back('.');
        out.append(m.day);
      }
      break;
    case MarkKind::kNone:
      break;
  }
}

bool IsMarkerWord(std::string_view word) {
  if (word.empty() || word.front() == '(' || word.back() == ')') return false;
  const StemWords one = SplitWords(word);
  if (one.n != 1) return false;
  const Mark m = ReadMark(one, 0, 9999);
  if (m.words == 1 && (m.kind == MarkKind::kEpisode || m.kind == MarkKind::kSeason ||
                       m.kind == MarkKind::kPart))
    return true;
  std::size_t i = 1;
  int value = 0;
  return IsChar(word, 0, 'e') && ReadDigits(word, i, 1, 3, value) && i == word.size();
}

ReleaseName ReadMarks(std::string_view cleaned, int highest_year,
                      std::uint64_t period_before) {
  ReleaseName r;
  r.words.period_before = period_before;
  SplitInto(cleaned, r.words);
  const std::size_t n = r.words.n;
  // Every mark, left to right; a mark's words are not read again.
  for (std::size_t i = 0; i < n && r.mark_count < kMaxMarks;) {
    const int may = r.words.at[i].empty() ? 0 : MayBeginMark(r.words.at[i]);
    if (may == 0) {  // nearly every word
      ++i;
      continue;
    }
    const Mark m = ReadMarkAfter(r.words, i, highest_year, may, r.mark_count == 0);
    if (m.kind == MarkKind::kNone) {
      ++i;
      continue;
    }
    r.marks[r.mark_count++] = m;
    SetBits(r.understood, i, m.words);
    i += m.words;
  }
  return r;
}

// A season that leads, with its episode further on: "S01 1080p E05",
// "S01 xx Episode 5", "S01 xx - 07" are S01E05 and S01E07.  The name this
// writes puts the season and what it keeps of the rest side by side, and
// that would read as one mark: the reading joins them now.
void SettleSeason(ReleaseName& r, int highest_year) {
  const Mark season = r.marks[r.lead];
  // An episode or anime number read as a mark of its own.
  for (std::size_t k = r.lead + 1; k < r.mark_count; ++k) {
    Mark& m = r.marks[k];
    if (m.kind == MarkKind::kEpisode) {
      r.lead = k;
      return;
    }
    // "Series 2 Part 11": a part right after a season is its episode.
    if (m.kind == MarkKind::kPart && m.at == season.at + season.words &&
        IsChar(r.words.at[m.at], 0, 'p')) {
      m.kind = MarkKind::kEpisode;
      m.season = season.season;
      m.first = m.last = m.part;
      r.lead = k;
      return;
    }
    if (m.kind != MarkKind::kAnime) continue;
    int n = 0, last = 0;
    if (m.day.empty() && IsNumber(m.text, 3, n) &&  // "- 12.5" stays a number
        (m.to.empty() || IsNumber(m.to, 3, last))) {
      m.kind = MarkKind::kEpisode;
      m.season = season.season;
      m.first = n;
      m.last = m.to.empty() ? n : last;
    }
    r.lead = k;
    return;
  }
  // An episode word the reading did not place, which it reads only after a
  // season: "E05", "Episode 5"; a number right after it ("2nd Season 24").
  for (std::size_t i = season.at + season.words; i < r.words.n; ++i) {
    if (r.Understood(i) || r.words.at[i] == "-") continue;
    const Reader reader{r.words, i, highest_year};
    Episode e{season.season};
    std::size_t taken = reader.EpisodeAfterSeason(0, e);
    if (int n = 0; taken == 0 && i == season.at + season.words &&
                   IsNumber(r.words.at[i], 3, n)) {
      e.first = e.last = n;
      taken = 1;
    }
    if (taken == 0 || r.mark_count == kMaxMarks) continue;
    std::size_t k = r.mark_count++;
    for (; k > 0 && r.marks[k - 1].at > i; --k) r.marks[k] = r.marks[k - 1];
    Mark& m = r.marks[k];
    m = Mark();
    m.kind = MarkKind::kEpisode;
    m.at = static_cast<std::uint8_t>(i);
    m.words = static_cast<std::uint8_t>(taken);
    m.season = e.season;
    m.first = e.first;
    m.last = e.last;
    SetBits(r.understood, i, taken);
    r.lead = k;
    return;
  }
}

}  // namespace rules

