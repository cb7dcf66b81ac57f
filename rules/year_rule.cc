#include "rules/year_rule.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "rules/ascii.h"
#include "rules/release_name.h"

namespace rules {
namespace {

// Where the words before the one at year_at must be cut so that no bracket
// group is left open: the start of the outermost group that the words
// before the year open and do not close, or year_at when they close all.
std::size_t BalancedCut(std::string_view all, std::size_t year_at) {
  if (all.substr(0, year_at).find('(') == std::string_view::npos) return year_at;
  std::size_t open_at = year_at;
  int depth = 0;
  for (std::size_t from = 0; from < year_at;) {
    std::size_t end = all.find(' ', from);
    if (end == std::string_view::npos || end > year_at) end = year_at;
    for (std::size_t i = from; i < end; ++i) {
      if (all[i] == '(') {
        if (depth++ == 0) open_at = from;
      } else if (all[i] == ')' && depth > 0) {
        if (--depth == 0) open_at = year_at;
      }
    }
    from = end + 1;
  }
  return depth > 0 ? open_at : year_at;
}

// The words of text as the reading splits them: pieces between spaces.
// A cleaned stem has one space between words and none at its start.
std::size_t WordsIn(std::string_view text) {
  if (text.empty()) return 0;
  const auto spaces = static_cast<std::size_t>(std::count(text.begin(), text.end(), ' '));
  return spaces + (text.back() != ' ');
}

bool IsKeptMarker(MarkKind k) {
  return k == MarkKind::kEpisode || k == MarkKind::kSeason || k == MarkKind::kPart;
}

}  // namespace

int HighestValidYear(int current_year) {
  return std::max(2020, current_year + 1);
}

void AppendKeptMarks(const ReleaseName& r, std::size_t after, std::string& out,
                     bool parts_only) {
  const Mark* marker = nullptr;
  const Mark* sample = nullptr;
  for (const Mark& m : r.Marks()) {
    if (m.at < after) continue;
    if (!marker && IsKeptMarker(m.kind) &&
        (!parts_only || m.kind == MarkKind::kPart))
      marker = &m;
    if (!sample && m.kind == MarkKind::kSample) sample = &m;
  }
  if (marker) {
    out.push_back(' ');
    AppendMark(*marker, r.words, out);
  }
  if (sample) {
    out.push_back(' ');
    out.append(sample->text);
  }
}

namespace {

// Where the stem is cut and what follows there: the year in brackets and
// the marks kept after it; at is npos where the stem keeps its words.
struct YearCut {
  std::size_t at = std::string_view::npos;
  std::string tail;
  bool Changes() const { return at != std::string_view::npos; }
  std::string Applied(std::string stem) const {
    stem.resize(at);
    stem.append(tail);
    return stem;
  }
};

// period_read: whether the periods were asked for.
YearCut BracketYear(std::string_view all, int highest_year, std::uint64_t* period_before,
                    bool* period_read = nullptr) {
  // The last year or date that is not the stem's first word: a title may
  // begin with one ("2001 A Space ...").
  const std::size_t from = YearReadingStart(all, highest_year);
  if (from == std::string_view::npos || all.find(' ') == std::string_view::npos)
    return {};
  // The words before from are not read; the marks' words still point into
  // all.
  const std::size_t skipped = period_before ? WordsIn(all.substr(0, from)) : 64;
  const std::uint64_t periods = skipped < 64 ? *period_before >> skipped : 0;
  const ReleaseName r = ReadMarks(all.substr(from), highest_year, periods);
  if (period_read) *period_read = r.words.period_read;
  for (std::size_t k = r.mark_count; k-- > 0;) {
    Mark m = r.marks[k];
    if (m.kind != MarkKind::kYear && m.kind != MarkKind::kDate) continue;
    if (m.kind == MarkKind::kDate && m.date_form >= 2) continue;  // "20190314"
    if (m.kind == MarkKind::kDate && m.date_form == 1) {
      // Only a year, month and day in that order make a date here: of
      // "14 03 2019" the year alone, the words before it staying.
      m.kind = MarkKind::kYear;
      m.at = m.year_at;
      m.words = 1;
    }
    const std::size_t at =
        static_cast<std::size_t>(r.words.at[m.at].data() - all.data());
    if (at == 0) continue;
    // A year inside a group takes the group's words before it along.
    const std::size_t cut = BalancedCut(all, at);
    if (cut == 0) continue;  // the group holds the whole title
    // What follows the words kept: short, and written before the stem is
    // cut, since the marks' words are in it.
    std::string tail;
    if (all[cut - 1] != ' ') tail.push_back(' ');
    if (m.kind == MarkKind::kYear) tail.push_back('(');
    AppendMark(m, r.words, tail);
    if (m.kind == MarkKind::kYear) tail.push_back(')');
    // Marks among the dropped words stay behind it.
    AppendKeptMarks(r, m.at + m.words, tail);
    if (all.substr(cut) == tail) return {};
    // The words kept keep their periods; what is written has none.
    if (period_before) {
      const std::size_t kept = WordsIn(all.substr(0, cut));
      if (kept < 64) *period_before &= (std::uint64_t{1} << kept) - 1;
    }
    return {cut, std::move(tail)};
  }
  return {};
}

}  // namespace

YearResult ApplyYearRule(std::string stem, int highest_year,
                         std::uint64_t* period_before) {
  std::uint64_t periods = period_before ? *period_before : 0;
  bool period_read = false;
  YearCut cut = BracketYear(stem, highest_year, periods ? &periods : nullptr, &period_read);
  // The periods are taken only where the name they give is one that a
  // second run, which sees spaces, leaves as it is; most names read the
  // same without them.
  if (period_read &&
      BracketYear(cut.Changes() ? cut.Applied(stem) : stem, highest_year, nullptr).Changes()) {
    periods = 0;
    cut = BracketYear(stem, highest_year, nullptr);
  }
  if (period_before) *period_before = periods;
  if (!cut.Changes()) return {std::move(stem), false};
  // Cut in place: the marks' words were read before.
  return {cut.Applied(std::move(stem)), true};
}

}  // namespace rules
