// "/v": the name a media library (Plex, Jellyfin, Kodi) recognises, made
// from a release name's cleaned stem.
//  - Film: "Title (Year)", then a part marker, "sample" or "trailer" if the
//    name has one: "Prestige Motors 2016 1080p BluRay x264-GRP" ->
//    "Prestige Motors (2016)".  The year is the last one after the first
//    word; a bracketed year that opens the name with no year after it goes
//    behind the title: "(1987) Silver Coast" -> "Silver Coast (1987)".
//  - Episode: "Show S01E02", "Show (2005) S01E02" with the year the name has
//    before the marker; several episodes "S01E01-E02" from "S01E01E02",
//    "S01E01-02", "S03E01 S03E02", "S02E09 E10", "1x01-1x02"; split and
//    spelled markers "S01 E02", "S01EP02", "S6 Ep5", "Season 1 Episode 2".
//  - Daily show: "Show 2019-03-14".  Season pack: "Show S02".
//  - Anime numbered without a season: "Show Name - 07" (from "- 07v2" too);
//    with a season word before it, "Show S02E07".
//  - The title is the words before the year, or before the first marker;
//    without either, the words before the first release tag
//    (rules/video_tags.h).  Leading bracket groups ("[Group]", "【...】")
//    and site prefixes ("www.Site.org - ") go.  Editions, and languages
//    written as tags are ("GERMAN", "MULTi"), right before the year or
//    marker go too.
//  - Everything after the year or marker goes, known or not (an episode's
//    title, tags, the group, noise), but what names another file or video:
//    a film's or a date's part (" - pt2"), an episode's right after its
//    marker, an extra, a sample or trailer; and the forms media servers
//    and this rule write ("{edition-Extended}", "[imdbid-tt0443706]", a
//    version suffix " - 1080p BluRay"), so that a second run changes
//    nothing.  What went is in the reading returned with the name.
//  - A name of no release name's shape (control bytes, bytes that are no
//    UTF-8, a bracket left open) keeps the cleanup's name.
// Names keep their case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/reading.h"
#include "rules/rule_result.h"

namespace rules {


// period_before: which words the raw name joined to the one before by a
// period (as CleanStem, rules/stem_cleanup.h, gives it), so that "12.5" and "5.1" are
// read as written.
// reading: where what the reading found goes, when the caller wants it.
RuleResult ApplyVideoRule(std::string stem, int highest_year,
                          std::uint64_t period_before = 0, Reading* reading = nullptr);

// The tags of a release name that tell versions of one film or episode
// apart, each as written ("" for none), in the order copies add them: the
// first edition, resolution, source, dynamic range, codec and audio among
// the words the rule drops, and the release group (glued to a tag,
// "x264-GRP", or one the tag table knows, "RARBG").
struct VideoVersions {
  std::string tags[kVersionKinds];
};

VideoVersions FindVideoVersions(std::string_view stem, int highest_year);

// Where the version suffix that ends a library stem begins, that is its
// " - " (" - IMAX", " - 1080p BluRay", " - x265", " - 1080p x264-GRP":
// release tags only, the first of a kind above); npos for none.
std::size_t VersionSuffixAt(std::string_view stem);

}  // namespace rules
