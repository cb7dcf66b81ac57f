// The library name's reading ("/v"): where the title begins and ends past
// the groups and sites that open a name, the mark that names the file, and
// which tags after the title hold the numbers of the name.
#include <array>

#include "rules/ascii.h"
#include "rules/media_ids.h"
#include "rules/release_grammar.h"
#include "rules/release_name.h"
#include "rules/video_tags.h"

namespace rules {
namespace {

bool IsBracketedYear(std::string_view w, int highest_year) {
  return w.size() == 6 && w.front() == '(' && w.back() == ')' &&
         IsYearWord(w, highest_year);
}

// "(500)": a number that opens a title ("(500) Days of Summer").
bool IsBracketedNumber(std::string_view w) {
  int value = 0;
  return w.size() >= 3 && w.front() == '(' && w.back() == ')' &&
         IsNumber(w.substr(1, w.size() - 2), 4, value);
}


bool IsDomain(std::string_view w) { return InList(w, kDomains); }

// Whether the word after a site's "-" can begin a title: no tag, and no
// number, which would make the "-" an anime episode's ("Show - 07").
bool IsTitleAfterSite(std::span<const std::string_view> w, std::size_t at,
                      int highest_year) {
  std::string_view digits;
  return MatchVideoTag(w, at).words == 0 &&
         !ReadAnimeNumber(ascii::TrimBrackets(w[at]), highest_year, digits);
}

// A bracket group that comes after a title in a name of bracket groups: an
// episode number ("(04)"), or after a first group a tag that is no title
// word ("[Group][Title][1080p]").
bool IsGroupAfterTitle(std::span<const std::string_view> w, std::size_t at,
                       bool after_first, int highest_year) {
  if (w[at].front() != '(' || w[at - 1].back() != ')') return false;
  if (IsBracketNumberAfterGroup(w, at, highest_year)) return true;
  const TagMatch m = MatchVideoTag(w, at);
  return after_first && m.words > 0 && !m.weak && m.kind != TagKind::kGroup;
}

// Past the bracket groups and site prefixes that open a name.
std::size_t TitleStart(std::span<const std::string_view> w, int highest_year) {
  std::size_t s = 0;
  for (int round = 0; round < 4 && s + 1 < w.size(); ++round) {
    if (w[s].front() == '(' && !IsBracketedYear(w[s], highest_year) &&
        !IsBracketedNumber(w[s])) {
      int depth = 0;
      std::size_t j = s;
      for (; j < w.size(); ++j) {
        for (char c : w[j]) depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth <= 0) break;
      }
      // Never when a year follows: "[Group] (2010)" is a title; nor a
      // group that ends in a year: "[Taxi 1998] [BDRemux]" is one; nor
      // one that an episode number or a tag in its own group follows:
      // "[Group][Title][04][1080p]" has its title in a group.
      if (j + 1 >= w.size() || IsBracketedYear(w[j + 1], highest_year) ||
          (j > s && IsYearWord(w[j], highest_year)) ||
          IsGroupAfterTitle(w, j + 1, s > 0, highest_year))
        break;
      s = j + 1;
      // "[ www.Site.cd ] - Title": the dash after it goes too.
      if (s + 1 < w.size() && w[s] == "-" && IsTitleAfterSite(w, s + 1, highest_year))
        ++s;
      continue;
    }
    if (ascii::EqualsFolded(w[s], "www")) {
      // The site's words up to the "-": no year or bracket among them.
      std::size_t j = s + 1;
      while (j < w.size() && j < s + 6 && w[j] != "-" &&
             w[j].find_first_of("()") == std::string_view::npos &&
             !IsYearWord(w[j], highest_year))
        ++j;
      if (j + 1 < w.size() && w[j] == "-" && IsTitleAfterSite(w, j + 1, highest_year)) {
        s = j + 1;
        continue;
      }
      if (s + 3 < w.size() && IsDomain(w[s + 2])) {
        s += 3;
        continue;
      }
      break;
    }
    if (s + 3 < w.size() && IsDomain(w[s + 1]) && w[s + 2] == "-" &&
        IsTitleAfterSite(w, s + 3, highest_year)) {
      s += 3;
      continue;
    }
    break;
  }
  return s;
}

// A word that is a tag only, whatever the title: an edition, a resolution,
// source, codec or audio tag that is no title's word ("XviD", "DVDRip",
// "1080p"), or a language written as release names write it ("GERMAN",
// "MULTi", "TRUEFRENCH").
bool IsTagOnly(std::span<const std::string_view> w, std::size_t at, std::size_t& words) {
  const TagMatch m = MatchVideoTag(w, at);
  words = m.words;
  if (m.words == 0) return false;
  switch (m.kind) {
    case TagKind::kEdition:
    case TagKind::kResolution:
    case TagKind::kSource:
    case TagKind::kCodec:
    case TagKind::kHdr:
    case TagKind::kAudio:
      return !m.weak;
    default:
      break;
  }
  if (m.kind != TagKind::kLanguage) return false;
  if (!m.weak) return true;
  int upper = 0;
  for (char c : w[at]) upper += c >= 'A' && c <= 'Z';
  return upper >= 2;
}

// Cuts the title's end: a trailing "-", a bracket group the year stood in,
// the tags that can only be tags.
// Where the words from s to end must end so that no group they open is
// left open: at the group's first word, but for a group the title opens.
std::size_t ClosedEnd(std::span<const std::string_view> w, std::size_t s,
                      std::size_t end) {
  int depth = 0;
  std::size_t open_at = end;
  for (std::size_t i = s; i < end; ++i) {
    for (char c : w[i]) {
      if (c == '(') {
        if (depth++ == 0) open_at = i;
      } else if (c == ')' && depth > 0) {
        --depth;
      }
    }
  }
  return depth > 0 && open_at > s ? open_at : end;
}

std::size_t TrimTitle(std::span<const std::string_view> w, std::size_t s,
                      std::size_t end) {
  // A group left open before the year: its words go.
  end = ClosedEnd(w, s, end);
  for (bool cut = true; cut && end > s + 1;) {
    cut = false;
    // A tag that closed a group cut: the group's words go too.
    if (const std::size_t closed = ClosedEnd(w, s, end); closed < end) {
      end = closed;
      cut = true;
      continue;
    }
    if (w[end - 1] == "-" || w[end - 1] == "(") {
      --end;
      cut = true;
      continue;
    }
    for (std::size_t back = 1; back <= 2 && back < end - s; ++back) {
      std::size_t words = 0;
      if (IsTagOnly(w.first(end), end - back, words) && words == back) {
        end -= back;
        cut = true;
        break;
      }
    }
  }
  return end;
}

// The first word that ends a title without year or marker: a tag that is
// no title word, or one that another tag follows.
std::size_t FirstTag(std::span<const std::string_view> w, std::size_t s) {
  for (std::size_t i = s + 1; i < w.size(); ++i) {
    // A version suffix that ends the name: " - Web".
    if (w[i] == "-" && i + 1 < w.size()) {
      const TagMatch m = MatchVideoTag(w, i + 1);
      if (IsVersionKind(m.kind) && i + 1 + m.words == w.size()) return i;
    }
    const TagMatch m = MatchVideoTag(w, i);
    if (m.words == 0) continue;
    if (!m.weak || MatchVideoTag(w, i + m.words).words > 0) return i;
  }
  return w.size();
}



// "2", "01-25": digits and dashes only.
bool IsNumbers(std::string_view w) {
  if (w.empty() || !ascii::IsDigit(w[0])) return false;
  for (char c : w) {
    if (!ascii::IsDigit(c) && c != '-') return false;
  }
  return true;
}

// Puts a mark the library name's reading found among the marks, in word
// order; false when the record is full.
bool InsertMark(ReleaseName& r, const Mark& m) {
  if (r.mark_count == kMaxMarks) return false;
  std::size_t k = r.mark_count++;
  for (; k > 0 && r.marks[k - 1].at > m.at; --k) r.marks[k] = r.marks[k - 1];
  r.marks[k] = m;
  SetBits(r.understood, m.at, m.words);
  return true;
}

bool IsTelevisionSource(std::string_view word) {
  std::string_view t = ascii::TrimBrackets(word);
  for (std::string_view source : kTelevisionSources) {
    if (t.size() >= source.size() && ascii::StartsFolded(t, source) &&
        (t.size() == source.size() || t[source.size()] == '-'))
      return true;
  }
  return false;
}

// The first letters of the episode words (rules/release_grammar.h): the
// quick look every word of a name without a mark gets.
constexpr std::array<bool, 128> kEpisodeWordStarts = [] {
  std::array<bool, 128> starts{};
  for (std::string_view w : kEpisodeWords) {
    if (static_cast<unsigned char>(w[0]) < 128) starts[static_cast<unsigned char>(w[0])] = true;
  }
  return starts;
}();

// "Episode 17", "Ep 17", "E17", "E1135", "E03-05", "E01-E02", "E06v2": an
// episode's number without a season; m gets its words and numbers.
bool EpisodeNumberWithoutSeason(std::span<const std::string_view> w, std::size_t at,
                                int highest_year, Mark& m) {
  const std::string_view word = ascii::TrimBrackets(w[at]);
  std::string_view digits;
  // "(20 of 25)", "3 of 3", "5of9": the episode of a numbered run.
  int n = 0, of = 0;
  if (IsNumber(word, 3, n) && at + 2 < w.size() && ascii::EqualsFolded(w[at + 1], "of") &&
      IsNumber(ascii::TrimBrackets(w[at + 2]), 3, of) && n >= 1 && n <= of) {
    m.text = word;
    m.words = 3;
    return true;
  }
  if (const std::size_t o = word.find("of");
      o != std::string_view::npos && o > 0 && IsNumber(word.substr(0, o), 3, n) &&
      IsNumber(word.substr(o + 2), 3, of) && n >= 1 && n <= of) {
    m.text = word.substr(0, o);
    m.words = 1;
    return true;
  }
  if (InList(word, kEpisodeWords) && at + 1 < w.size() &&
      ReadAnimeNumber(ascii::TrimBrackets(w[at + 1]), highest_year, digits, &m.to)) {
    m.text = digits;
    m.words = 2;
    return true;
  }
  std::size_t i = 0;
  int first = 0, last = 0;
  if (!IsChar(word, 0, 'e')) return false;
  i = IsChar(word, 1, 'p') ? 2 : 1;
  const std::size_t from = i;
  if (!ReadDigits(word, i, 1, 4, first) || IsYearWord(word.substr(from, i - from), highest_year))
    return false;
  m.text = word.substr(from, i - from);
  if (i < word.size() && word[i] == '-') {
    std::size_t k = i + 1;
    if (IsChar(word, k, 'e')) k += IsChar(word, k + 1, 'p') ? 2 : 1;
    const std::size_t to = k;
    if (!ReadDigits(word, k, 1, 4, last) || last <= first) return false;
    m.to = word.substr(to, k - to);
    i = k;
  }
  if (i + 2 == word.size() && IsReleaseVersion(word.substr(i))) i += 2;
  if (i != word.size()) return false;
  m.words = 1;
  return true;
}

// An episode numbered without a season in a name that has no other mark:
//  - "Show.205.HDTV": three or four digits right after the title, before
//    tags among which a television source stands (season 2, episode 5);
//    never a year's number, nor before a film's tags ("Fahrenheit.451.
//    1080p.BluRay");
//  - "Show Episode 17", "Show E03", "Show E03-05": written "Show - 17" as
//    anime numbers are, but not before a year ("Saga Episode 4 A New Hope
//    1977" is a film's title).
bool ReadEpisodeWithoutSeason(ReleaseName& r, int highest_year) {
  const std::span<const std::string_view> w = r.words.all();
  std::size_t last_year = 0;  // past the last year's word
  for (const Mark& m : r.Marks()) {
    if (m.kind == MarkKind::kYear) last_year = m.at + 1u;
  }
  for (std::size_t i = r.start + 1; i < w.size(); ++i) {
    const bool year_after = i < last_year;
    // The shapes first: most words are none, and a tag is looked up only
    // for a word that is one.
    const std::string_view word = w[i];
    const auto c = static_cast<unsigned char>(ascii::AsciiLower(word[0]));
    if (!year_after && (c < 128 && (kEpisodeWordStarts[c] || ascii::IsDigit(word[0]) ||
                                    c == '('))) {
      Mark m;
      m.at = static_cast<std::uint8_t>(i);
      if (EpisodeNumberWithoutSeason(w, i, highest_year, m)) {
        m.kind = MarkKind::kAnime;
        return InsertMark(r, m);
      }
    }
    int n = 0;
    if ((word.size() != 3 && word.size() != 4) || !IsNumber(word, 4, n) ||
        (n >= 1900 && n <= 2099) || word[0] == '0' || i + 1 == w.size() ||
        InList(word, kBareResolutions))
      continue;
    // "Show.103.104.HDTV": two episodes of one season.
    int next = 0;
    std::size_t after = i + 1;
    if (w[after].size() == word.size() && IsNumber(w[after], 4, next) &&
        next / 100 == n / 100 && next % 100 > n % 100)
      ++after;
    else
      next = n;
    bool television = false;
    for (std::size_t k = after; k < w.size() && !television;) {
      const std::size_t tag = MatchVideoTag(w, k).words;
      if (tag == 0) break;
      television = IsTelevisionSource(w[k]);
      k += tag;
    }
    // Right after the title: no tag before it.
    for (std::size_t k = r.start + 1; k < i && television; ++k)
      television = MatchVideoTag(w, k).words == 0;
    if (!television) continue;
    Mark m;
    m.at = static_cast<std::uint8_t>(i);
    m.kind = MarkKind::kEpisode;
    m.words = static_cast<std::uint8_t>(after - i);
    m.season = n / 100;
    m.first = n % 100;
    m.last = next % 100;
    return InsertMark(r, m);
  }
  return false;
}

}  // namespace


ReleaseName ReadReleaseName(std::string_view cleaned, int highest_year,
                            std::uint64_t period_before, bool read_tags) {
  ReleaseName r = ReadMarks(cleaned, highest_year, period_before);
  const std::span<const std::string_view> w = r.words.all();
  const std::size_t n = w.size();
  if (n == 0) return r;
  r.start = TitleStart(w, highest_year);
  // The lead: the first date, episode, season or anime number after the
  // title's first word; the last year before it.  An episode anywhere
  // after a date or an anime number wins over it ("Show 2016 02 25
  // S20E142", "Show - 07 (S01E05)").
  std::size_t year = kNoWord;
  for (std::size_t k = 0; k < r.mark_count; ++k) {
    const Mark& m = r.marks[k];
    if (m.at <= r.start) continue;
    if (m.kind == MarkKind::kYear) {
      year = m.at;
      continue;
    }
    if (m.kind == MarkKind::kDate || m.kind == MarkKind::kEpisode ||
        m.kind == MarkKind::kSeason || m.kind == MarkKind::kAnime) {
      r.lead = k;
      break;
    }
  }
  if (r.lead == kMaxMarks && ReadEpisodeWithoutSeason(r, highest_year)) {
    year = kNoWord;
    for (std::size_t k = 0; k < r.mark_count; ++k) {
      const Mark& m = r.marks[k];
      if (m.at <= r.start) continue;
      if (m.kind == MarkKind::kYear) year = m.at;
      if (m.kind == MarkKind::kEpisode || m.kind == MarkKind::kAnime) {
        r.lead = k;
        break;
      }
    }
  }
  std::size_t lead_at = kNoWord;
  if (r.lead < r.mark_count) {
    const Mark& lead = r.marks[r.lead];
    lead_at = lead.at;
    r.rest = lead.at + lead.words;
    if (lead.kind == MarkKind::kDate || lead.kind == MarkKind::kAnime) {
      for (std::size_t k = r.lead + 1; k < r.mark_count; ++k) {
        if (r.marks[k].kind == MarkKind::kEpisode) {
          r.lead = k;
          r.rest = r.marks[k].at + r.marks[k].words;
          break;
        }
      }
    }
    if (lead.kind == MarkKind::kSeason) SettleSeason(r, highest_year);
    switch (r.marks[r.lead].kind) {
      case MarkKind::kDate: r.form = NameForm::kDaily; break;
      case MarkKind::kEpisode: r.form = NameForm::kEpisode; break;
      case MarkKind::kSeason: r.form = NameForm::kSeason; break;
      default: r.form = NameForm::kAnime; break;
    }
    r.title_end = lead_at;
    if (year != kNoWord) {
      r.year = year;
      r.title_end = year;
    }
  } else if (year != kNoWord) {
    r.form = NameForm::kFilm;
    r.year = year;
    r.title_end = year;
    r.rest = year + 1;
  } else {
    r.title_end = FirstTag(w, r.start);
    r.rest = r.title_end;
    // A release name's title ends before the bracket groups and the release
    // version that come before its first tag: "Title [Group] (1080p)",
    // "Title (R2J) (Extras) (x264)", "Title v2 (ABCD1234)".  A name with
    // no tag keeps them ("Holiday (2)").
    while (r.title_end < n && r.title_end > r.start + 1) {
      const std::string_view last = w[r.title_end - 1];
      if (IsReleaseVersion(last)) {
        --r.title_end;
        continue;
      }
      if (last.back() != ')' || IsNumbers(ascii::TrimBrackets(last)))
        break;  // "Holiday (2) 720p", "Show (01-25)": numbers tell them apart
      std::size_t open = r.title_end - 1;
      int depth = 0;
      for (;; --open) {
        for (char c : w[open]) depth += c == ')' ? 1 : c == '(' ? -1 : 0;
        if (depth <= 0 || open == r.start) break;
      }
      if (depth != 0 || open <= r.start || w[open].front() != '(') break;
      r.title_end = open;
    }
    // "[Group] 06 Title (720p)": an episode number before the title,
    // written with its leading zero ("[Group] 300 Spartans" is a title).
    Mark m;
    m.at = static_cast<std::uint8_t>(r.start);
    std::string_view digits;
    if (r.start > 0 && r.start + 1 < r.title_end && w[r.start].size() >= 2 &&
        w[r.start].size() <= 3 && w[r.start][0] == '0' &&
        ReadAnimeNumber(w[r.start], highest_year, digits) &&
        digits.size() == w[r.start].size() && ascii::IsLetter(w[r.start + 1][0])) {
      m.kind = MarkKind::kAnime;
      m.text = digits;
      m.words = 1;
      if (InsertMark(r, m)) {
        for (r.lead = 0; r.marks[r.lead].at != m.at; ++r.lead) {}
        r.form = NameForm::kAnime;
        ++r.start;
      }
    }
  }
  r.title_end = TrimTitle(w, r.start, r.title_end);
  // Before an episode number: the episode word that names it ("Show
  // Episode - 69"), and a bracketed word that tells the broadcast or disc
  // ("Show (TV) - 02", "Show (DVD) - 01"); any other stays ("Show (US)",
  // "Show [Subtitle] - 01").
  if (r.form == NameForm::kAnime) {
    while (r.title_end > r.start + 1) {
      const std::string_view last = w[r.title_end - 1];
      const std::string_view bare = ascii::TrimBrackets(last);
      const bool bracketed = last.size() > 2 && last.front() == '(' && last.back() == ')' &&
                             bare.size() + 2 == last.size();
      if (InList(bare, kEpisodeWords) ||
          (bracketed && (InList(bare, kBroadcastWords) ||
                         MatchVideoTag(w, r.title_end - 1).kind == TagKind::kSource))) {
        --r.title_end;
        continue;
      }
      break;
    }
    // A tag the episode word stood after ("Show 1080p E E041"): trimmed as
    // it would be right before the number, where a second run finds it.
    r.title_end = TrimTitle(w, r.start, r.title_end);
  }
  if ((r.form == NameForm::kEpisode || r.form == NameForm::kSeason) &&
      r.year == kNoWord && r.title_end >= r.start + 2 &&
      InList(ascii::TrimBrackets(w[r.title_end - 1]), kCountryCodes))
    r.country = r.title_end - 1;
  // A "- 114" in the title that the raw name's periods made no episode
  // number ("- 114.2014"): the title is written without its "-", which a
  // second reading, without the periods, would take for an episode's.
  for (std::size_t k = r.start + 1; k + 1 < r.title_end && k + 2 < n; ++k) {
    std::string_view digits, to;
    if (w[k] == "-" && r.words.PeriodBefore(k + 2) &&
        ReadAnimeNumber(ascii::TrimBrackets(w[k + 1]), highest_year, digits, &to)) {
      // And every "-" right before it ("- - 114.12"), which would stand
      // next to the number once this one is gone.
      std::size_t j = k;
      for (; j > r.start && w[j] == "-"; --j) SetBits(r.unwritten, j, 1);
      // A word that would read as a mark with the number beside it ("E -
      // 026.012", "Season - 2.5"): the name is read as a second run,
      // without the periods, reads it.
      std::string two(ascii::TrimBrackets(w[j]));
      two.push_back(' ');
      two.append(ascii::TrimBrackets(w[k + 1]));
      if (w[j] != "-" && (InList(ascii::TrimBrackets(w[j]), kEpisodeWords) ||
                          ReadMark(SplitWords(two), 0, highest_year).words > 1))
        return ReadReleaseName(cleaned, highest_year, 0, read_tags);
    }
  }
  // Audio channels in the title ("5.1x2"), which the periods kept from
  // reading as an episode ("1x2"): a second reading, which has no periods,
  // would read one there, so this one reads the words as it will.
  if (period_before != 0) {
    for (std::size_t k = r.start + 1; k < r.title_end; ++k) {
      if (r.words.PeriodBefore(k) && ascii::IsDigit(w[k - 1].back()) &&
          ascii::IsDigit(w[k][0]) && w[k].find_first_of("xXeE") != std::string_view::npos)
        return ReadReleaseName(cleaned, highest_year, 0, read_tags);
    }
  }
  // A bracketed year that opens the title, with no year after it, goes
  // behind the title: "(1987) Silver Coast".  Judged on the title the
  // reading leaves, so that a second run reads it the same.
  if (r.year == kNoWord && r.title_end >= r.start + 2 &&
      IsBracketedYear(w[r.start], highest_year) &&
      !ascii::EqualsFolded(w[r.start + 1], "www") &&
      TitleStart(w.subspan(r.start + 1, r.title_end - r.start - 1),
                 highest_year) == 0) {
    r.year = r.start++;
    if (r.form == NameForm::kPlain) r.form = NameForm::kFilm;
  }
  // An IMDb id among the title's words, bare or in a group of its own
  // ("Title (tt0133093) 2004", "tt0133093 Title"), names the video and is
  // no word of its title: the library name is written without the ids, all
  // or none.  None where the title a second run reads would not be the one
  // written: where the title has no other word, where a "-" or a bracket
  // group would end or open it, or where it would open as a title does not.
  auto own_word = [&w](std::size_t k) {
    const char c = w[k][0];
    return ascii::IsLetter(c) || ascii::IsDigit(c) || (c & 0x80);
  };
  std::uint64_t ids = 0;
  for (std::size_t k = r.start; k < r.title_end && k < 64; ++k) {
    const std::string_view t = ascii::TrimBrackets(w[k]);
    if (!((r.unwritten >> k) & 1u) && IsImdbId(t) &&
        (t.size() == w[k].size() ||
         (w[k].front() == '(' && w[k].back() == ')' && t.size() + 2 == w[k].size())))
      SetBits(ids, k, 1);
  }
  if (ids != 0 && r.title_end <= 64) {
    const std::uint64_t gone = ids | r.unwritten;
    std::size_t first = kNoWord, last = kNoWord;  // the title as written
    bool beside_own = true;
    for (std::size_t k = r.start; k < r.title_end; ++k) {
      if ((gone >> k) & 1u) continue;
      if (first == kNoWord) first = k;
      last = k;
      // A written word beside an id that goes must be the title's own.
      const bool after_id = k > r.start && ((ids >> (k - 1)) & 1u);
      const bool before_id = k + 1 < r.title_end && ((ids >> (k + 1)) & 1u);
      if ((after_id || before_id) && !own_word(k)) beside_own = false;
    }
    if (first != kNoWord && beside_own && own_word(first) && own_word(last) &&
        TitleStart(w.subspan(first, r.title_end - first), highest_year) == 0)
      r.unwritten |= ids;
  }
  // The tags after the title, each placed, and the first of each version
  // kind kept as written.  Without read_tags, only those that hold a number
  // or end before one ("H 264", "DDP5 1"): the ones the marks' reading
  // asks about.
  auto has_digit = [&w](std::size_t i) {
    for (char c : w[i]) {
      if (ascii::IsDigit(c)) return true;
    }
    return false;
  };
  for (std::size_t i = r.title_end; i < n;) {
    if (!read_tags && !has_digit(i) && (i + 1 == n || !has_digit(i + 1))) {
      ++i;
      continue;
    }
    const TagMatch m = MatchVideoTag(w, i);
    if (m.words == 0) {
      ++i;
      continue;
    }
    SetBits(r.understood, i, m.words);
    const std::string_view last = ascii::TrimBrackets(w[i + m.words - 1]);
    if (const int slot = VersionSlot(m.kind); slot >= 0 && r.tags[slot].empty()) {
      // The words as the stem holds them, one space between.
      const char* from = ascii::TrimBrackets(w[i]).data();
      const char* to = last.data() + (m.head > 0 ? m.head : last.size());
      r.tags[slot] = std::string_view(from, static_cast<std::size_t>(to - from));
    }
    // "x264-GRP": the group after the last "-" of the tag's word.
    if (m.head > 0 && r.tags[kGroupTag].empty())
      r.tags[kGroupTag] = last.substr(last.rfind('-') + 1);
    i += m.words;
  }
  // Numbers that belong to a tag: channels ("5.1", "DDP5.1", "(5.1)"),
  // sizes and bitrates ("1.1GB", "2.5 GB", "20 Mbps"), release versions
  // ("v2").
  for (std::size_t i = r.title_end; i < n; ++i) {
    const std::string_view t = ascii::TrimBrackets(w[i]);
    if (t.empty()) continue;
    int value = 0;
    // A two-word tag with a group glued on: "H 264-GRP".
    const std::size_t dash = t.find('-');
    if (i > r.title_end && dash != std::string_view::npos && dash > 0) {
      const std::string_view pair[] = {w[i - 1], t.substr(0, dash)};
      if (MatchVideoTag(pair, 0).words == 2) {
        SetBits(r.understood, i - 1, 2);
        continue;
      }
    }
    // Channels: "5.1", "7.1", "2.0" alone or after an audio tag ("DDP5.1").
    const std::string_view before = i > 0 ? ascii::TrimBrackets(w[i - 1]) : "";
    if (r.words.PeriodBefore(i) && t.size() == 1 && t[0] >= '0' && t[0] <= '2' &&
        !before.empty() && ascii::IsDigit(before.back()) &&
        (MatchVideoTag(w, i - 1).words > 0 ||
         (before.size() == 1 && before[0] != '0' && before[0] != '3' &&
          before[0] != '4' && before[0] != '9'))) {
      SetBits(r.understood, i - 1, 2);
      continue;
    }
    std::size_t d = 0;
    while (d < t.size() && ascii::IsDigit(t[d])) ++d;
    const std::string_view unit = t.substr(d);
    if (InList(unit, kSizeUnits)) {
      if (d > 0 || (i > 0 && IsNumber(ascii::TrimBrackets(w[i - 1]), 4, value))) {
        SetBits(r.understood, i, 1);
        for (std::size_t k = i; k > r.title_end && k + 2 > i; --k) {
          if (IsNumber(ascii::TrimBrackets(w[k - 1]), 4, value) &&
              (k == i ? d == 0 || r.words.PeriodBefore(i) : r.words.PeriodBefore(k)))
            SetBits(r.understood, k - 1, 1);
        }
      }
      continue;
    }
    if (IsReleaseVersion(t))
      SetBits(r.understood, i, 1);
  }
  return r;
}

}  // namespace rules
