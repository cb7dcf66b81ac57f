// The cleanup every listed name goes through, whatever the options: the name
// is cut at its last period, and the stem loses its periods, underscores,
// square brackets and extra spaces.
#pragma once

#include <string>
#include <string_view>

namespace rules {

struct NameSplit {
  std::string_view stem;       // everything before the last period
  std::string_view extension;  // the last period and what follows, or ""
};

NameSplit SplitName(std::string_view name);

// "[Group].Some_Movie(2010)" -> "(Group) Some Movie (2010)".  The result has
// no leading, trailing or doubled space, no period, underscore or square
// bracket, and no space just inside a round bracket.  Only the space 0x20 is
// a space here; tabs stay.
std::string CleanStem(std::string_view stem);

}  // namespace rules
