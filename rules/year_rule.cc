#include "rules/year_rule.h"

#include <algorithm>
#include <string_view>

#include "rules/ascii.h"
#include "rules/release_marker.h"
#include "text/number.h"

namespace rules {
namespace {

// Only a word that begins with a digit, a sign, a point or "&" reads as a
// number other than 0, and 0 is no year: the rest need not be read.
bool MayBeNumber(std::string_view word) {
  std::size_t at = word.find_first_not_of(" \t\r\n");
  if (at == std::string_view::npos) return false;
  char c = word[at];
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == '&';
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
    // The set trim of "()" at both ends, inline: every word passes here.
    std::string_view year = ascii::TrimBrackets(all.substr(space + 1, end - space - 1));
    if (!MayBeNumber(year)) continue;
    long double value = text::NumericValue(year);
    if (value < kLowestValidYear || value > highest_year) continue;
    // An episode or part marker among the dropped words stays: the first
    // one, after a space, in its written form.
    const std::string_view dropped =
        end < all.size() ? all.substr(end + 1) : std::string_view();
    const bool marker = FindFirstReleaseMarker(dropped, nullptr);
    // The words before it keep their single spaces.
    std::string rebuilt;
    rebuilt.reserve(space + year.size() + 3 + (marker ? kMaxWrittenMarker : 0));
    rebuilt.append(all.substr(0, space + 1));
    rebuilt.push_back('(');
    rebuilt.append(year);
    rebuilt.push_back(')');
    if (marker) {
      rebuilt.push_back(' ');
      FindFirstReleaseMarker(dropped, &rebuilt);
    }
    if (rebuilt == stem) return {std::move(stem), false};
    return {std::move(rebuilt), true};
  }
  return {std::move(stem), false};
}

}  // namespace rules
