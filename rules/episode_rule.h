// "/e": the last season-episode marker after the first word of the stem
// (rules/release_name.h) is written in its "S01E02" form and every word
// after it is dropped, as "/y" drops the words after a year:
// "The Walking Dead S05E03 720p HDTV x264-ASAP (ettv)" ->
// "The Walking Dead S05E03", "Californication 2x05 Vaginatown" ->
// "Californication S02E05".  A date counts as a daily show's episode
// ("News 2019 03 14 Guest" -> "News 2019-03-14"); a name without episode or
// date keeps its last season word ("Harbor Lights S02 1080p" ->
// "Harbor Lights S02").  A part ("Part 1", "CD1"), then a "sample" or
// "trailer", after the marker stay.
// A stem without any of these after its first word is left alone.
#pragma once

#include <cstdint>
#include <string>

#include "rules/rule_result.h"

namespace rules {

using EpisodeResult = RuleResult;

// highest_year bounds the year of a date, as for the year rule.  With
// period_before, the words of stem a period joined on (CleanStem,
// rules/stem_cleanup.h), read as the name wrote them ("S03E21.22" is
// S03E21-E22); set to those of the result.
EpisodeResult ApplyEpisodeRule(std::string stem, int highest_year,
                               std::uint64_t* period_before = nullptr);

}  // namespace rules
