#include "rules/video_rule.h"

#include <array>
#include <span>

#include "rules/ascii.h"
#include "rules/release_marker.h"
#include "rules/stem_cleanup.h"
#include "rules/video_tags.h"

namespace rules {
namespace {

constexpr std::size_t kMaxWords = 64;

// The words of a stem (pieces between single spaces); past kMaxWords the
// last one holds the rest.
struct Words {
  std::array<std::string_view, kMaxWords> at;
  std::size_t n = 0;
  std::span<const std::string_view> all() const { return {at.data(), n}; }
};

Words Split(std::string_view stem) {
  Words w;
  std::size_t from = 0;
  while (from < stem.size()) {
    std::size_t end = stem.find(' ', from);
    if (end == std::string_view::npos || w.n == kMaxWords - 1) end = stem.size();
    if (end > from) w.at[w.n++] = stem.substr(from, end - from);
    from = end + 1;
  }
  return w;
}

enum class Form { kPlain, kFilm, kEpisode, kDaily, kSeason, kAnime };

struct Reading {
  Form form = Form::kPlain;
  std::size_t start = 0;       // the title's first word
  std::size_t title_end = 0;   // past its last word
  std::size_t year = kMaxWords;  // the year's word, if any
  std::size_t rest = 0;        // the first word after the year or marker
  std::string marker;          // written
};

constexpr std::size_t kNoYear = kMaxWords;

bool IsBracketedYear(std::string_view w, int highest_year) {
  return w.size() == 6 && w.front() == '(' && w.back() == ')' &&
         IsYearWord(w, highest_year);
}

constexpr std::string_view kDomains[] = {"com", "org", "net", "to", "me", "io",
                                         "cc",  "tv",  "info", "xyz", "co", "ru"};

bool IsDomain(std::string_view w) {
  for (std::string_view d : kDomains) {
    if (ascii::EqualsFolded(w, d)) return true;
  }
  return false;
}

bool IsVersionKind(TagKind k) {
  return k == TagKind::kEdition || k == TagKind::kResolution ||
         k == TagKind::kSource;
}

// Whether the word after a site's "-" can begin a title: no tag, and no
// number, which would make the "-" an anime episode's ("Show - 07").
bool IsTitleAfterSite(std::span<const std::string_view> w, std::size_t at,
                      int highest_year) {
  std::string_view digits;
  return MatchVideoTag(w, at).words == 0 &&
         !ReadAnimeNumber(ascii::TrimBrackets(w[at]), highest_year, digits);
}

// Past the bracket groups and site prefixes that open a name.
std::size_t TitleStart(std::span<const std::string_view> w, int highest_year) {
  std::size_t s = 0;
  for (int round = 0; round < 4 && s + 1 < w.size(); ++round) {
    if (w[s].front() == '(' && !IsBracketedYear(w[s], highest_year)) {
      int depth = 0;
      std::size_t j = s;
      for (; j < w.size(); ++j) {
        for (char c : w[j]) depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth <= 0) break;
      }
      // Never when a year follows: "[Group] (2010)" is a title.
      if (j + 1 >= w.size() || IsBracketedYear(w[j + 1], highest_year)) break;
      s = j + 1;
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
std::size_t TrimTitle(std::span<const std::string_view> w, std::size_t s,
                      std::size_t end) {
  // A group left open before the year: its words go.
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
  if (depth > 0 && open_at > s) end = open_at;
  for (bool cut = true; cut && end > s + 1;) {
    cut = false;
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

// The reading with the title from word s on.
Reading Scan(std::span<const std::string_view> w, std::size_t s,
             int highest_year) {
  Reading r;
  const std::size_t n = w.size();
  r.start = s;
  std::size_t year = kNoYear;
  for (std::size_t i = s + 1; i < n; ++i) {
    const std::string_view word = w[i];
    const char c = word[0];
    // Every mark begins with a digit, an "S", a "-" or a bracket: nearly
    // every other word is refused here.
    if (!ascii::IsDigit(c) && c != 's' && c != 'S' && c != '-' && c != '(')
      continue;
    if (ascii::IsDigit(c)) {
      const std::string_view next = i + 1 < n ? w[i + 1] : std::string_view();
      const std::string_view third = i + 2 < n ? w[i + 2] : std::string_view();
      std::string date;
      const std::size_t taken = ReadDate(word, next, third, highest_year, &date);
      if (taken > 0) {
        r.form = Form::kDaily;
        r.title_end = i;
        r.rest = i + taken;
        r.marker = std::move(date);
        break;
      }
    }
    if ((ascii::IsDigit(c) || c == '(') && IsYearWord(word, highest_year)) {
      year = i;
      continue;
    }
    if (const std::size_t taken =
            ReadEpisodeWords(w, i, highest_year, &r.marker)) {
      r.form = Form::kEpisode;
      r.title_end = i;
      r.rest = i + taken;
      break;
    }
    const std::string_view next = i + 1 < n ? w[i + 1] : std::string_view();
    std::string_view digits;
    if (const std::size_t taken = ReadSeasonWords(word, next, &r.marker)) {
      r.form = Form::kSeason;
      r.title_end = i;
      r.rest = i + taken;
      break;
    }
    if (word == "-" && i + 1 < n &&
        ReadAnimeNumber(ascii::TrimBrackets(w[i + 1]), highest_year, digits)) {
      r.form = Form::kAnime;
      r.title_end = i;
      r.rest = i + 2;
      r.marker = "- ";
      r.marker.append(digits);
      break;
    }
  }
  if (r.form == Form::kPlain) {
    if (year != kNoYear) {
      r.form = Form::kFilm;
      r.year = year;
      r.title_end = year;
      r.rest = year + 1;
    } else {
      r.title_end = FirstTag(w, s);
      r.rest = r.title_end;
    }
  } else if (year != kNoYear) {
    r.year = year;
    r.title_end = year;
  }
  r.title_end = TrimTitle(w, s, r.title_end);
  return r;
}

Reading Read(std::span<const std::string_view> w, int highest_year) {
  Reading r = Scan(w, TitleStart(w, highest_year), highest_year);
  // A bracketed year that opens the title, with no year after it, goes
  // behind the title: "(1987) Silver Coast".  Judged on the title the
  // reading leaves, so that a second run reads it the same.
  if (r.year == kNoYear && r.title_end >= r.start + 2 &&
      IsBracketedYear(w[r.start], highest_year) &&
      !ascii::EqualsFolded(w[r.start + 1], "www") &&
      TitleStart(w.subspan(r.start + 1, r.title_end - r.start - 1),
                 highest_year) == 0) {
    r.year = r.start++;
    if (r.form == Form::kPlain) r.form = Form::kFilm;
  }
  return r;
}

// The rest of the stem from word at ("" past the end).
std::string_view From(std::string_view stem, std::span<const std::string_view> w,
                      std::size_t at) {
  if (at >= w.size()) return {};
  return stem.substr(static_cast<std::size_t>(w[at].data() - stem.data()));
}

void AppendWords(std::string& out, std::span<const std::string_view> w,
                 std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (!out.empty()) out.push_back(' ');
    out.append(w[i]);
  }
}

}  // namespace

// "【Group】Show" -> "Show": the full-width brackets that open a name, which
// the cleanup leaves as they are.
std::string_view PastLenticularGroups(std::string_view stem) {
  constexpr std::string_view kOpen = "\xE3\x80\x90", kClose = "\xE3\x80\x91";
  while (stem.starts_with(kOpen)) {
    const std::size_t close = stem.find(kClose);
    if (close == std::string_view::npos) break;
    std::string_view rest = stem.substr(close + kClose.size());
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) break;
    stem = rest;
  }
  return stem;
}

VideoResult ApplyVideoRule(std::string stem, int highest_year) {
  const Words words = Split(PastLenticularGroups(stem));
  const std::span<const std::string_view> w = words.all();
  if (w.size() < 2) return {std::move(stem), false};
  const Reading r = Read(w, highest_year);
  std::string out;
  out.reserve(stem.size());
  AppendWords(out, w, r.start, r.title_end);
  if (r.year != kNoYear) {
    if (!out.empty()) out.push_back(' ');
    out.push_back('(');
    out.append(ascii::TrimBrackets(w[r.year]));
    out.push_back(')');
  }
  if (!r.marker.empty()) {
    if (!out.empty()) out.push_back(' ');
    out.append(r.marker);
  }
  const std::string_view rest = From(stem, w, r.rest);
  if (r.form == Form::kFilm) {
    AppendKeptMarkers(rest, out);
  } else if (r.form != Form::kPlain) {
    for (std::size_t i = r.rest; i < w.size(); ++i) {
      if (const std::string_view sample = SampleWord(w[i]); !sample.empty()) {
        out.push_back(' ');
        out.append(sample);
        break;
      }
    }
  }
  // The version suffix a run gave: " - Extended", kept as it is.
  const std::size_t after = r.form == Form::kPlain ? r.title_end : r.rest;
  for (std::size_t i = after; i + 1 < w.size(); ++i) {
    if (w[i] != "-") continue;
    const TagMatch m = MatchVideoTag(w, i + 1);
    if (IsVersionKind(m.kind) && i + 1 + m.words == w.size()) {
      out.append(" -");
      for (std::size_t k = i + 1; k < w.size(); ++k) {
        out.push_back(' ');
        out.append(w[k]);
      }
    }
    break;
  }
  // A lone bracket word of the title beside the year: no space inside a
  // bracket, as the cleanup leaves names.
  if (out.find("( ") != std::string::npos || out.find(" )") != std::string::npos)
    out = CleanStem(out);
  if (out.empty() || out == stem) return {std::move(stem), false};
  return {std::move(out), true};
}

VideoVersions FindVideoVersions(std::string_view stem, int highest_year) {
  VideoVersions v;
  const Words words = Split(PastLenticularGroups(stem));
  const std::span<const std::string_view> w = words.all();
  if (w.empty()) return v;
  const Reading r = Read(w, highest_year);
  for (std::size_t i = r.title_end; i < w.size();) {
    const TagMatch m = MatchVideoTag(w, i);
    if (m.words == 0) {
      ++i;
      continue;
    }
    std::string* slot = m.kind == TagKind::kEdition      ? &v.edition
                        : m.kind == TagKind::kResolution ? &v.resolution
                        : m.kind == TagKind::kSource     ? &v.source
                                                         : nullptr;
    if (slot && slot->empty()) {
      for (std::size_t k = i; k < i + m.words; ++k) {
        if (!slot->empty()) slot->push_back(' ');
        std::string_view word = ascii::TrimBrackets(w[k]);
        if (m.head > 0) word = word.substr(0, m.head);  // no group
        slot->append(word);
      }
    }
    i += m.words;
  }
  return v;
}

}  // namespace rules
