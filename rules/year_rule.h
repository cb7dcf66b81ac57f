// "/y": the last word after the first that reads as a year in range is put in
// brackets and every word after it is dropped: "blah 2010 xxx" ->
// "blah (2010)".
#pragma once

#include <string>

namespace rules {

inline constexpr int kLowestValidYear = 1920;

// The highest year the rule accepts: next year, so that this year's releases
// and those dated a little ahead are found, and never below 2020.
int HighestValidYear(int current_year);

struct YearResult {
  std::string stem;
  bool changed = false;
};

// highest_year is HighestValidYear() of the run; both bounds are inclusive.
YearResult ApplyYearRule(std::string stem, int highest_year);

}  // namespace rules
