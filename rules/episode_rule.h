// "/e": the last season-episode marker after the first word of the stem
// (rules/release_marker.h) is written in its "S01E02" form and every word
// after it is dropped, as "/y" drops the words after a year:
// "The Walking Dead S05E03 720p HDTV x264-ASAP (ettv)" ->
// "The Walking Dead S05E03", "Californication 2x05 Vaginatown" ->
// "Californication S02E05".  A stem without such a marker, or with one only
// as its first word, is left alone.
#pragma once

#include <string>

#include "rules/rule_result.h"

namespace rules {

using EpisodeResult = RuleResult;

EpisodeResult ApplyEpisodeRule(std::string stem);

}  // namespace rules
