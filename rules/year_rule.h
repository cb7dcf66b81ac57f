// "/y": the last word after the first that is a year (four digits in range,
// bare or in its own brackets: rules/release_name.h) is put in brackets and
// every word after it is dropped: "blah 2010 xxx" -> "blah (2010)".  A year
// followed by a month and a day word, or one word "2019-03-14", is a date,
// kept as "2019-03-14" without brackets.  A year inside a bracket group with
// other words takes the group's words before it along, so no bracket is left
// open: "Quiet Roads (Drama 1971)" -> "Quiet Roads (1971)"; a group that
// opens with the first word holds no year.  A season, episode or part marker is never dropped: when the
// words after the year hold one (rules/release_name.h), the first of them
// follows the bracketed year after a space, in its written form, then the
// first "sample" or "trailer", and only the rest goes: "Doctor Who 2005 S01E01 720p" -> "Doctor Who (2005) S01E01",
// "Movie 2010 Part 2 720p" -> "Movie (2010) Part 2".
#pragma once

#include <cstdint>
#include <string>

#include "rules/release_name.h"
#include "rules/rule_result.h"

namespace rules {

inline constexpr int kLowestValidYear = kLowestYear;

// The highest year the rule accepts: next year, so that this year's releases
// and those dated a little ahead are found, and never below 2020.
int HighestValidYear(int current_year);

using YearResult = RuleResult;

// highest_year is HighestValidYear() of the run; both bounds are inclusive.
// With period_before, the words of stem a period joined on (CleanStem,
// rules/stem_cleanup.h), read as the name wrote them ("S03E21.22" is
// S03E21-E22); set to those of the result.
YearResult ApplyYearRule(std::string stem, int highest_year,
                         std::uint64_t* period_before = nullptr);

// What the year and episode rules keep of the words they drop, from word
// after on: the first season, episode or part mark, then the first sample
// or trailer, each after a space (parts_only: of the marks, parts only).
void AppendKeptMarks(const ReleaseName& r, std::size_t after, std::string& out,
                     bool parts_only = false);

}  // namespace rules
