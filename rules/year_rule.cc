#include "rules/year_rule.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "text/number.h"
#include "text/trim.h"

namespace rules {
namespace {

// The words of the stem: the pieces between single spaces.
std::vector<std::string_view> Words(std::string_view stem) {
  std::vector<std::string_view> words;
  std::size_t from = 0;
  for (std::size_t at; (at = stem.find(' ', from)) != std::string_view::npos;
       from = at + 1) {
    words.push_back(stem.substr(from, at - from));
  }
  words.push_back(stem.substr(from));
  return words;
}

}  // namespace

int HighestValidYear(int current_year) {
  return std::max(2020, current_year + 1);
}

YearResult ApplyYearRule(std::string stem, int highest_year) {
  std::vector<std::string_view> words = Words(stem);
  // Word 1 is never a year: a title may begin with one ("2001 A Space ...").
  for (std::size_t k = words.size() - 1; k >= 1; --k) {
    std::string_view year = text::TrimSet(words[k], "()");
    long double value = text::NumericValue(year);
    if (value < kLowestValidYear || value > highest_year) continue;
    std::string rebuilt;
    rebuilt.reserve(stem.size() + 2);
    for (std::size_t i = 0; i < k; ++i) {
      rebuilt.append(words[i]);
      rebuilt.push_back(' ');
    }
    rebuilt.push_back('(');
    rebuilt.append(year);
    rebuilt.push_back(')');
    if (rebuilt == stem) return {std::move(stem), false};
    return {std::move(rebuilt), true};
  }
  return {std::move(stem), false};
}

}  // namespace rules
