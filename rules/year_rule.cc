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
std::size_t WordsIn(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ' && (i == 0 || text[i - 1] == ' ')) ++n;
  return n;
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

YearResult BracketYear(std::string stem, int highest_year, std::uint64_t* period_before) {
  // The last year or date that is not the stem's first word: a title may
  // begin with one ("2001 A Space ...").
  const std::string_view all = stem;
  const std::size_t from = YearReadingStart(all, highest_year);
  if (from == std::string_view::npos || all.find(' ') == std::string_view::npos)
    return {std::move(stem), false};
  // The words before from are not read; the marks' words still point into
  // all.
  const std::size_t skipped = period_before ? WordsIn(all.substr(0, from)) : 64;
  const std::uint64_t periods = skipped < 64 ? *period_before >> skipped : 0;
  const ReleaseName r = ReadMarks(all.substr(from), highest_year, periods);
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
    if (all.substr(cut) == tail) return {std::move(stem), false};
    // The words kept keep their periods; what is written has none.
    if (period_before) {
      const std::size_t kept = WordsIn(all.substr(0, cut));
      if (kept < 64) *period_before &= (std::uint64_t{1} << kept) - 1;
    }
    stem.resize(cut);
    stem.append(tail);
    return {std::move(stem), true};
  }
  return {std::move(stem), false};
}

}  // namespace

YearResult ApplyYearRule(std::string stem, int highest_year,
                         std::uint64_t* period_before) {
  if (!period_before || *period_before == 0)
    return BracketYear(std::move(stem), highest_year, nullptr);
  // As for the episode rule (rules/episode_rule.cc): the periods are read
  // only where a second run, which sees spaces, leaves the name given.
  std::uint64_t periods = *period_before;
  YearResult read = BracketYear(stem, highest_year, &periods);
  if (!BracketYear(read.stem, highest_year, nullptr).changed) {
    *period_before = periods;
    return read;
  }
  *period_before = 0;
  return BracketYear(std::move(stem), highest_year, nullptr);
}

}  // namespace rules
