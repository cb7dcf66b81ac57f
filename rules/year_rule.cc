#include "rules/year_rule.h"

#include <algorithm>
#include <string_view>

#include "rules/ascii.h"
#include "rules/release_marker.h"

namespace rules {
namespace {

// The word that begins at from (a word ends at a space or the end).
std::string_view WordAt(std::string_view all, std::size_t from) {
  if (from >= all.size()) return {};
  const std::size_t end = all.find(' ', from);
  return all.substr(from, end == std::string_view::npos ? end : end - from);
}

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

}  // namespace

int HighestValidYear(int current_year) {
  return std::max(2020, current_year + 1);
}

YearResult ApplyYearRule(std::string stem, int highest_year) {
  // The words are the pieces between single spaces, read from the last one
  // back; word 1 is never a year: a title may begin with one ("2001 A
  // Space ...").
  std::string_view all = stem;
  std::size_t end = all.size();
  for (std::size_t space = all.rfind(' '); space != std::string_view::npos;
       end = space, space = space == 0 ? std::string_view::npos
                                       : all.rfind(' ', space - 1)) {
    const std::size_t at = space + 1;
    const std::string_view word = all.substr(at, end - at);
    // Nearly every word is refused on its length or first byte: a year has
    // four digits and its brackets, a date ten bytes.
    std::size_t opening = 0;
    while (opening < word.size() && (word[opening] == '(' || word[opening] == ')'))
      ++opening;
    if (opening == word.size() || !ascii::IsDigit(word[opening])) continue;
    if (word.size() != 10 && ascii::TrimBrackets(word).size() != 4) continue;
    std::string written;  // the year in brackets, or the date
    std::size_t after = end;  // where the dropped words begin (a space)
    const std::string_view next = WordAt(all, end + 1);
    const std::string_view third =
        next.empty() ? std::string_view() : WordAt(all, end + 2 + next.size());
    const std::size_t date = ReadDate(word, next, third, highest_year, &written);
    if (date == 3) {
      after = end + 2 + next.size() + third.size();
    } else if (date == 0) {
      if (!IsYearWord(word, highest_year)) continue;
      written.push_back('(');
      written.append(ascii::TrimBrackets(word));
      written.push_back(')');
    }
    // A year inside a group takes the group's words before it along.
    const std::size_t cut = BalancedCut(all, at);
    if (cut == 0) continue;  // the group holds the whole title
    std::string rebuilt;
    rebuilt.reserve(cut + written.size() + 2 * kMaxWrittenMarker);
    rebuilt.append(all.substr(0, cut));
    if (rebuilt.back() != ' ') rebuilt.push_back(' ');
    rebuilt.append(written);
    // Markers among the dropped words stay behind it.
    if (after < all.size()) AppendKeptMarkers(all.substr(after + 1), rebuilt);
    if (rebuilt == stem) return {std::move(stem), false};
    return {std::move(rebuilt), true};
  }
  return {std::move(stem), false};
}

}  // namespace rules
