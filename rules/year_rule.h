// "/y": the last word after the first that reads as a year in range is put in
// brackets and every word after it is dropped: "blah 2010 xxx" ->
// "blah (2010)".  An episode or part marker is never dropped: when the words
// after the year hold one (rules/release_marker.h), the first of them follows
// the bracketed year after a space, in its written form, and only the rest
// goes: "Doctor Who 2005 S01E01 720p" -> "Doctor Who (2005) S01E01",
// "Movie 2010 Part 2 720p" -> "Movie (2010) Part 2".
#pragma once

#include <string>

#include "rules/rule_result.h"

namespace rules {

inline constexpr int kLowestValidYear = 1920;

// The highest year the rule accepts: next year, so that this year's releases
// and those dated a little ahead are found, and never below 2020.
int HighestValidYear(int current_year);

using YearResult = RuleResult;

// highest_year is HighestValidYear() of the run; both bounds are inclusive.
YearResult ApplyYearRule(std::string stem, int highest_year);

}  // namespace rules
