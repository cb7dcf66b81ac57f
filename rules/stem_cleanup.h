// The cleanup every listed name goes through, whatever the options: the name
// is cut at its last period, and the stem loses its periods, underscores,
// square brackets and extra spaces.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rules {

struct NameSplit {
  std::string_view stem;       // everything before the last period
  std::string_view extension;  // the last period and what follows, or ""
};

NameSplit SplitName(std::string_view name);

// A directory's name is cleaned whole: it has no extension unless its last
// dotted part plainly is one: 1 to 4 ASCII letters and digits beginning with
// a letter, that is neither a term of the built-in term table (rules/
// term_table.h, case-blind), a release tag of "/v" (rules/video_tags.h) nor
// a season, episode or part word (rules/release_name.h, IsMarkerWord).  So "project.git", "Photos.app",
// "conf.d" keep theirs, while "Dune.2021.2160p.WEB-DL.DDP5.1.HEVC-TEPES",
// "Show.S01", "Show.S01.x265", "Movie.BluRay", "Movie.1080p", "Movie.[MULTI]"
// have none.  A
// name whose only period is its first byte splits as SplitName splits it
// (empty stem), so a hidden name stays out of the cleaning either way.
NameSplit SplitDirectoryName(std::string_view name);

// The test above for the part after the last period.
bool IsDirectoryExtension(std::string_view part);

// "[Group].Some_Movie(2010)" -> "(Group) Some Movie (2010)".  The result has
// no leading, trailing or doubled space, no period, underscore or square
// bracket, and no space just inside a round bracket.  Only the space 0x20 is
// a space here; tabs stay.  With period_joins, also which words of the
// result that begin with a digit the stem joined to the word before by a
// period: bit i for word i (the first 64 words), so that a reading can see
// "12.5", "5.1" and "S03E21.22" as written.
std::string CleanStem(std::string_view stem, std::uint64_t* period_joins = nullptr);

// Whether a raw stem has a period that may go on an episode's run: one
// between an episode mark's digits and more digits ("S03E21.22",
// "1x02.03").  The year and episode rules ask the cleanup for its periods
// only then; every other name reads the same without them.
bool MayJoinEpisodeRun(std::string_view stem);

}  // namespace rules
