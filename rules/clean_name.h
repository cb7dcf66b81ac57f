// The whole cleaning of one listed name: the stem cleanup, then the optional
// rules in their fixed order (case, year, episode, terms); the extension is
// glued back unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "rules/reading.h"
#include "text/case.h"

namespace rules {

struct UserTerms;  // rules/user_terms.h

struct NameRules {
  bool from_upper = false;    // "/mu", "/m"
  bool from_lower = false;    // "/ml", "/m"
  bool year_rule = false;     // "/y", "/yc"
  bool episode_rule = false;  // "/e", "/ec"
  bool term_rule = false;     // "/k", "/kc"
  // "/v", "/vc": the library name (rules/video_rule.h); it does the work of
  // the year, episode and term rules, which then add nothing, and the case
  // rule judges the name it leaves.
  bool video_rule = false;
  // "/v": fill CleanedName::reading, for the stages that take it.
  bool keep_reading = false;
  int highest_year = 2020;
  // The platform's case of letters beyond ASCII.
  const text::CaseMapping* letter_case = &text::AsciiOnlyMapping();
  // The terms of the user's terms file, removed by "/k" after the built-in
  // ones; none when null.  Not owned: it must outlive every CleanName call.
  const UserTerms* user_terms = nullptr;
  // Where each reading of a name is counted, when set (a test's count of
  // the readings of a run): each CleanName, and each name read again for
  // its tags (rules/version_suffix.h).
  std::size_t* readings = nullptr;
};

struct CleanedName {
  std::string name;  // the new name; "" when the cleaned stem is empty
  bool year_changed = false;
  bool episode_changed = false;
  bool terms_changed = false;
  bool video_changed = false;
  // "/v" with keep_reading: what the reading found; the stages after the
  // rules take it.  Empty otherwise, and then costs nothing.
  std::optional<Reading> reading;
};

// A directory's name is split by SplitDirectoryName (rules/stem_cleanup.h),
// a file's by SplitFileName (rules/subtitle_suffix.h), which keeps a
// subtitle's language with its extension.  With both the year and the episode rule, the year
// rule runs once more on what the episode rule left when that rule changed
// the stem, so that a year before the marker is bracketed even when the
// first run found a later one among the words the episode rule dropped:
// "Show 2005 S01E01 Rose 1963 720p" -> "Show (2005) S01E01".
CleanedName CleanName(std::string_view listed, const NameRules& rules,
                      bool is_directory = false);

}  // namespace rules
