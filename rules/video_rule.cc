#include "rules/video_rule.h"

#include <charconv>
#include <span>

#include "rules/ascii.h"
#include "rules/media_ids.h"
#include "rules/name_shape.h"
#include "rules/release_grammar.h"
#include "rules/release_name.h"
#include "rules/stem_cleanup.h"
#include "rules/video_tags.h"

namespace rules {
namespace {

void AppendWords(std::string& out, std::span<const std::string_view> w,
                 std::size_t from, std::size_t to, std::uint64_t skip = 0) {
  for (std::size_t i = from; i < to; ++i) {
    if (i < 64 && ((skip >> i) & 1u)) continue;
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

namespace {

bool HasDigit(std::string_view w) {
  for (char c : w) {
    if (ascii::IsDigit(c)) return true;
  }
  return false;
}

// The media servers' own tags, by the word before their "-": Plex writes
// "{tmdb-603}", "{edition-Director's Cut}"; Jellyfin "[tmdbid-603]" and
// Emby "[tmdbid=603]", round after the cleanup (rules/media_ids.h).  Each
// fills one field of the reading.
struct ServerTag {
  std::string_view key;
  bool braces;  // written "{key-...}"
  bool round;   // written "(key-...)", and "(key=...)" for an "id" key
  std::string Reading::*field;
};
constexpr ServerTag kServerTags[] = {
    {"imdb", true, true, &Reading::imdb},     {"tmdb", true, true, &Reading::tmdb},
    {"tvdb", true, true, &Reading::tvdb},     {"imdbid", false, true, &Reading::imdb},
    {"tmdbid", false, true, &Reading::tmdb},  {"tvdbid", false, true, &Reading::tvdb},
    {"edition", true, false, &Reading::edition},
};

// Where a server's tag's key ends: its "-", or Emby's "=" after an "id"
// key in round brackets.
std::size_t ServerKeyEnd(std::string_view word) {
  const std::size_t dash = word.find('-');
  const std::size_t equals = word.front() == '(' ? word.find('=') : std::string_view::npos;
  if (equals < dash && equals >= 3 && ascii::EqualsFolded(word.substr(equals - 2, 2), "id"))
    return equals;
  return dash;
}

// The table's row for a word that opens a server's tag; null for none
// ("{CAST}", "{133MB}" are no server's).
const ServerTag* ServerTagOf(std::string_view word) {
  if (word.size() < 3) return nullptr;
  const std::size_t dash = ServerKeyEnd(word);
  if (dash == std::string_view::npos) return nullptr;
  const std::string_view key = word.substr(1, dash - 1);
  for (const auto& tag : kServerTags) {
    if ((word.front() == '{' ? tag.braces : word.front() == '(' && tag.round) &&
        ascii::EqualsFolded(key, tag.key))
      return &tag;
  }
  return nullptr;
}

// A media server's own tag at word at; the words it takes.
std::size_t MediaServerTag(std::span<const std::string_view> w, std::size_t at) {
  const std::string_view word = w[at];
  if (!ServerTagOf(word)) return 0;
  if (word.front() == '(') return word.back() == ')' ? 1 : 0;
  for (std::size_t k = at; k < w.size(); ++k) {
    if (w[k].back() == '}') return k + 1 - at;
  }
  return 0;
}

// The words from at to the end that are all release tags, the first a
// version's, the last maybe with its group: the suffix "/v" writes
// (" - 1080p BluRay", " - Extended", " - 1080p x264-GRP").  One that begins
// with a tag of another kind than edition, resolution or source (" - x265",
// " - DTS") is one only right after the year or mark (first): a release
// name's "1080p - 1.1GB - x264" has none.
bool IsVersionSuffix(std::span<const std::string_view> w, std::size_t at,
                     bool first) {
  if (at >= w.size()) return false;
  const TagKind kind = MatchVideoTag(w, at).kind;
  if (!IsVersionKind(kind) && !(first && VersionSlot(kind) >= 0))
    return false;
  for (std::size_t i = at; i < w.size();) {
    const TagMatch m = MatchVideoTag(w, i);
    // A release group glued to the last tag: " - 1080p x264-GRP".
    if (m.words == 0 || (m.head > 0 && i + m.words != w.size())) return false;
    i += m.words;
  }
  return true;
}

// A title that one bracket group holds whole ("[Title][2019]"), or that
// opens a group its year closes ("[Taxi 1998]"), loses that group's
// brackets.
void UnbracketTitle(std::string& title) {
  // Never where another group opens right after it: "((a) b)" would
  // become a leading group, which goes next time.
  if (title.size() < 2 || title.front() != '(' || title[1] == '(') return;
  int depth = 0;
  for (std::size_t i = 0; i < title.size(); ++i) {
    depth += title[i] == '(' ? 1 : title[i] == ')' ? -1 : 0;
    if (depth == 0) {
      if (i + 1 != title.size()) return;  // "(500) Days of Summer"
      bool letter = false;
      for (char c : title) letter = letter || ascii::IsLetter(c) || (c & 0x80);
      if (!letter) return;  // "(2010)" stays a year
      title.pop_back();
      break;
    }
  }
  // A group left open loses its bracket whatever it holds: the numbers kept
  // after the title join it on a second reading ("(1" then "(1 Atmo2").
  if (depth <= 1) title.erase(0, 1);
}

// The extras media servers file beside a film, by the word a release name
// gives them and the suffix they read.
constexpr struct {
  std::string_view word;
  std::string_view suffix;
} kExtras[] = {
    {"featurette", "featurette"}, {"featurettes", "featurette"},
    {"deleted", "deleted"},       {"behindthescenes", "behindthescenes"},
    {"making-of", "behindthescenes"}, {"interview", "interview"},
    {"interviews", "interview"},  {"trailer", "trailer"},
    {"teaser", "trailer"},        {"short", "short"},
    {"scene", "scene"},
};

std::string_view ExtraSuffix(std::string_view word) {
  for (const auto& e : kExtras) {
    if (ascii::EqualsFolded(word, e.word)) return e.suffix;
  }
  return {};
}

// Whether the word ends the words an extra keeps as its own.
bool EndsExtraWords(const ReleaseName& r, std::size_t i) {
  const std::string_view w = r.words.at[i];
  return w == "-" || r.Understood(i) || HasDigit(w) ||
         MatchVideoTag(r.words.all(), i).words > 0 || w.front() == '(' ||
         w.front() == '{';
}

// An extra after a film's year: "Featurette Gotham Uncovered" gives
// " - Gotham Uncovered-featurette", "Trailer" "-trailer"; the form this
// writes reads back the same.  Returns whether there was one; kept gets
// the words it takes, kind the extra's kind.
bool AppendExtra(const ReleaseName& r, std::string& out, std::uint64_t& kept,
                 std::string_view& kind) {
  const std::span<const std::string_view> w = r.words.all();
  for (std::size_t i = r.rest; i < w.size(); ++i) {
    const std::string_view word = ascii::TrimBrackets(w[i]);
    std::string_view suffix = ExtraSuffix(word);
    std::size_t from = i + 1, to = i + 1;
    if (!suffix.empty()) {
      if (ascii::EqualsFolded(word, "deleted") && i + 1 < w.size() &&
          ascii::StartsFolded(w[i + 1], "scene"))
        from = to = i + 2;  // "Deleted Scenes"
      while (to < w.size() && !EndsExtraWords(r, to)) ++to;
    } else {
      // The written form: "- Gotham Uncovered-featurette", "(2008)-trailer".
      const std::size_t dash = word.rfind('-');
      if (dash == std::string_view::npos) continue;
      suffix = ExtraSuffix(word.substr(dash + 1));
      if (suffix.empty() || !ascii::EqualsFolded(word.substr(dash + 1), suffix))
        continue;
      suffix = word.substr(dash + 1);  // as written: "/m" may have cased it
      kind = suffix;
      SetBits(kept, r.rest, i + 1 - r.rest);
      out.push_back(' ');
      if (dash > 0 || i > r.rest) {
        from = r.rest < w.size() && w[r.rest] == "-" ? r.rest + 1 : r.rest;
        out.append("- ");
        for (std::size_t k = from; k < i; ++k) {
          out.append(w[k]);
          out.push_back(' ');
        }
        out.append(word.substr(0, dash));
      } else {
        out.pop_back();
      }
      out.push_back('-');
      out.append(suffix);
      return true;
    }
    kind = suffix;
    SetBits(kept, i, to - i);
    if (to > from) {
      out.append(" -");
      for (std::size_t k = from; k < to; ++k) {
        out.push_back(' ');
        out.append(w[k]);
      }
    }
    out.push_back('-');
    out.append(suffix);
    return true;
  }
  return false;
}

}  // namespace

namespace {

// The id or edition a media server's tag gives (words from at, count of
// them): what follows the "-" of "{tmdb-603}", "(imdbid-tt0133093)".
void ReadServerTag(std::span<const std::string_view> w, std::size_t at,
                   std::size_t count, Reading& out) {
  std::string all;
  AppendWords(all, w, at, at + count);
  std::string& field = out.*(ServerTagOf(all)->field);
  const std::size_t dash = ServerKeyEnd(all);
  if (field.empty()) field = all.substr(dash + 1, all.size() - dash - 2);
}

// The part the library name keeps after the mark: a film's anywhere after
// it; an episode's or a date's only right after its mark, tags aside,
// before any word of the episode's title ("S06E17 Part 1"; in "S03E09 The
// Long Night Part 2" the part is the title's).
const Mark* KeptPart(const ReleaseName& r) {
  const bool anywhere = r.form == NameForm::kFilm;
  for (const Mark& m : r.Marks()) {
    if (m.at < r.rest || m.kind != MarkKind::kPart) continue;
    if (anywhere) return &m;
    for (std::size_t i = r.rest; i < m.at;) {
      const std::size_t tag = MatchVideoTag(r.words.all(), i).words;
      if (tag == 0 && r.words.at[i] != "-") return nullptr;
      i += tag == 0 ? 1 : tag;
    }
    return &m;
  }
  return nullptr;
}

// "Paper Town-s03-e01", "Show-S01E02-GRP": a season or episode mark that a
// "-" glues to a title's word is read as a word of its own.  period_before
// follows the words it splits.
void SplitGluedMarks(std::string& stem, std::uint64_t& period_before) {
  std::size_t word = 0;
  for (std::size_t i = 1; i + 2 < stem.size(); ++i) {
    if (stem[i] == ' ') ++word;
    if (stem[i] != '-' || !ascii::IsLetter(stem[i - 1])) continue;
    std::size_t k = i + 1;
    if (!IsChar(stem, k, 's') && !IsChar(stem, k, 'e')) continue;
    if (IsChar(stem, k, 'e') && IsChar(stem, k + 1, 'p')) ++k;
    if (k + 1 >= stem.size() || !ascii::IsDigit(stem[k + 1])) continue;
    stem[i] = ' ';
    ++word;
    if (word < 64) {
      const std::uint64_t low = period_before & ((1ull << word) - 1);
      period_before = low | ((period_before & ~((1ull << word) - 1)) << 1);
    }
  }
}

// A film's edition after its title, by the names the tag table gives
// editions: the edition tags in a row ("Extended Director's Cut"), with an
// anniversary's ordinal before them ("30th Anniversary Edition"); a
// version's word (IMAX) is none.  "" for none.
std::string EditionAfterTitle(const ReleaseName& r) {
  const std::span<const std::string_view> w = r.words.all();
  std::string edition;
  for (std::size_t i = r.title_end; i < w.size();) {
    const TagMatch m = MatchVideoTag(w, i);
    if (m.edition.empty()) {
      if (!edition.empty()) break;
      i += m.words > 0 ? m.words : 1;
      continue;
    }
    if (edition.empty() && m.edition.starts_with("Anniversary") && i > r.start) {
      const std::string_view ordinal = ascii::TrimBrackets(w[i - 1]);
      std::size_t digits = 0;
      while (digits < ordinal.size() && ascii::IsDigit(ordinal[digits])) ++digits;
      const std::string_view suffix = ordinal.substr(digits);
      if (digits > 0 && digits <= 3 &&
          (ascii::EqualsFolded(suffix, "th") || ascii::EqualsFolded(suffix, "st") ||
           ascii::EqualsFolded(suffix, "nd") || ascii::EqualsFolded(suffix, "rd"))) {
        edition.append(ordinal.substr(0, digits));
        for (char c : suffix) edition.push_back(ascii::AsciiLower(c));
      }
    }
    if (!edition.empty()) edition.push_back(' ');
    edition.append(m.edition);
    i += m.words;
  }
  return edition;
}

// The reading's fields of what the library name is written without: the
// tags, the extra's kind, ids and the edition, and the words that went.
void ReadWhatWent(const ReleaseName& r, std::uint64_t kept, std::string_view extra_kind,
                  Reading& reading) {
  const std::span<const std::string_view> w = r.words.all();
  for (int k = 0; k < kVersionKinds; ++k) {
    if (!r.tags[k].empty()) reading.tags[k] = r.tags[k];
  }
  reading.extra = extra_kind;
  // An IMDb id anywhere, in the title too ("tt0133093 Title 2004").
  for (std::size_t i = 0; i < w.size() && reading.imdb.empty(); ++i) {
    if (IsImdbId(ascii::TrimBrackets(w[i]))) reading.imdb = ascii::TrimBrackets(w[i]);
  }
  if (reading.edition.empty() && (r.form == NameForm::kFilm || r.form == NameForm::kPlain))
    reading.edition = EditionAfterTitle(r);
  for (std::size_t i = r.form == NameForm::kPlain ? r.title_end : r.rest; i < w.size(); ++i) {
    if (i < 64 && ((kept >> i) & 1u)) continue;
    if (!reading.dropped.empty()) reading.dropped.push_back(' ');
    reading.dropped.append(w[i]);
  }
}

}  // namespace

RuleResult ApplyVideoRule(std::string stem, int highest_year,
                          std::uint64_t period_before, Reading* reading) {
  RuleResult result;
  // A name of no release name's shape (a control byte, bytes that are no
  // UTF-8, a bracket left open) is not read: its words may read otherwise
  // once rewritten, and a library name must be one a second run leaves.
  if (IsOddlyShaped(stem)) {
    if (reading) reading->title = stem;
    result.stem = std::move(stem);
    return result;
  }
  SplitGluedMarks(stem, period_before);
  const std::string_view from = PastLenticularGroups(stem);
  if (from.size() != stem.size()) {
    period_before >>= SplitWords(std::string_view(stem).substr(0, stem.size() - from.size())).n;
  }
  const ReleaseName r = ReadReleaseName(from, highest_year, period_before, reading != nullptr);
  const std::span<const std::string_view> w = r.words.all();
  // More marks than the record holds (no release name has so many): the
  // words past them are not read.
  if (w.size() < 2 || r.mark_count == kMaxMarks) {
    if (reading) reading->title = stem;
    result.stem = std::move(stem);
    return result;
  }
  std::string out;
  out.reserve(stem.size());
  AppendWords(out, w, r.start, r.country == kNoWord ? r.title_end : r.country,
              r.unwritten);
  UnbracketTitle(out);
  if (r.country != kNoWord) {  // "The Office (US)"
    out.append(" (");
    for (char c : ascii::TrimBrackets(w[r.country]))
      out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
    out.push_back(')');
  }
  if (reading) {
    reading->title = out;
    reading->form = r.form;
  }
  if (r.year != kNoWord) {
    const std::string_view year = ascii::TrimBrackets(w[r.year]);
    if (reading) reading->year = year;
    if (!out.empty()) out.push_back(' ');
    out.push_back('(');
    out.append(year);
    out.push_back(')');
  }
  if (r.lead < r.mark_count) {
    const Mark& lead = r.marks[r.lead];
    if (!out.empty()) out.push_back(' ');
    const std::size_t at = out.size();
    AppendMark(lead, r.words, out);
    if (reading) {
      reading->written_mark = out.substr(at);
      reading->mark = lead.kind;
      reading->season = lead.season;
      reading->first = lead.first;
      reading->last = lead.last;
      // An anime number is its episode, where it is a whole one ("07", not
      // "12.5").
      int number = 0;
      const char* end = lead.text.data() + lead.text.size();
      if (lead.kind == MarkKind::kAnime &&
          std::from_chars(lead.text.data(), end, number).ptr == end && number > 0)
        reading->first = reading->last = number;
    }
  }
  // After the mark only what names another file or video stays: a part, an
  // extra, a sample, and the forms media servers and this rule write.
  std::uint64_t kept = 0;
  std::string_view extra_kind;
  const bool extra = r.form == NameForm::kFilm && AppendExtra(r, out, kept, extra_kind);
  if (const Mark* part = KeptPart(r)) {
    SetBits(kept, part->at, part->words);
    if (reading) reading->part = part->part;
    // The form this writes, in the case the name has it
    const std::string_view word = ascii::TrimBrackets(w[part->at]);
    out.append(" - ");
    // ("- Pt2" after "/m"): kept as the name writes it, so that a second run
    // changes nothing; any other spelling is written "pt".
    const bool written = part->at > 0 && w[part->at - 1] == "-" && word.size() > 2 &&
                         ascii::StartsFolded(word, "pt") && ascii::IsDigit(word[2]);
    if (written) SetBits(kept, part->at - 1, 1);
    out.append(written ? word.substr(0, 2) : "pt");
    out.append(std::to_string(part->part));
  }
  if (!extra) {
    for (const Mark& m : r.Marks()) {
      if (m.at < r.rest || m.kind != MarkKind::kSample) continue;
      SetBits(kept, m.at, m.words);
      if (reading) reading->sample = m.text;
      out.push_back(' ');
      out.append(m.text);
      break;
    }
  }
  // The media servers' own tags, as they write them.
  for (std::size_t i = r.rest; i < w.size(); ++i) {
    const std::size_t n = MediaServerTag(w, i);
    if (n == 0) continue;
    if (reading) ReadServerTag(w, i, n, *reading);
    SetBits(kept, i, n);
    if (w[i].front() == '(') {
      out.push_back(' ');
      out.push_back('[');
      out.append(w[i].substr(1, w[i].size() - 2));
      out.push_back(']');
    } else {
      AppendWords(out, w, i, i + n);
    }
    i += n - 1;
  }
  // The version suffix a run gave: " - Extended", " - 1080p BluRay".
  const std::size_t after = r.form == NameForm::kPlain ? r.title_end : r.rest;
  for (std::size_t i = after; i + 1 < w.size(); ++i) {
    if (w[i] != "-" || !IsVersionSuffix(w, i + 1, i == after)) continue;
    SetBits(kept, i, w.size() - i);
    out.append(" -");
    for (std::size_t k = i + 1; k < w.size(); ++k) {
      out.push_back(' ');
      out.append(w[k]);
    }
    break;
  }
  if (reading) ReadWhatWent(r, kept, extra_kind, *reading);
  // A lone bracket word of the title beside the year: no space inside a
  // bracket, as the cleanup leaves names.
  if (out.find("( ") != std::string::npos || out.find(" )") != std::string::npos)
    out = CleanStem(out);
  if (out.empty() || out == stem) {
    result.stem = std::move(stem);
    return result;
  }
  result.stem = std::move(out);
  result.changed = true;
  return result;
}

VideoVersions FindVideoVersions(std::string_view stem, int highest_year) {
  VideoVersions v;
  const ReleaseName r = ReadReleaseName(PastLenticularGroups(stem), highest_year);
  for (int k = 0; k < kVersionKinds; ++k) v.tags[k] = r.tags[k];
  return v;
}

std::size_t VersionSuffixAt(std::string_view stem) {
  const std::size_t at = stem.rfind(" - ");
  if (at == 0 || at == std::string_view::npos) return std::string_view::npos;
  // A suffix "/v" writes has a few words; a longer tail is no suffix.
  constexpr std::size_t kMaxWords = 16;
  std::string_view words[kMaxWords];
  std::size_t n = 0;
  for (std::string_view rest = stem.substr(at + 3); !rest.empty();) {
    const std::size_t space = rest.find(' ');
    if (n == kMaxWords) return std::string_view::npos;
    words[n++] = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
  }
  return IsVersionSuffix(std::span<const std::string_view>(words, n), 0, true)
             ? at
             : std::string_view::npos;
}

}  // namespace rules
