// The whole cleaning of one listed name: the stem cleanup, then the optional
// rules in their fixed order (case, year, terms); the extension is glued back
// unchanged.
#pragma once

#include <string>
#include <string_view>

#include "text/case.h"

namespace rules {

struct NameRules {
  bool from_upper = false;  // "/mu", "/m"
  bool from_lower = false;  // "/ml", "/m"
  bool year_rule = false;   // "/y", "/yc"
  bool term_rule = false;   // "/k", "/kc"
  int highest_year = 2020;
  // The platform's case of letters beyond ASCII.
  const text::CaseMapping* letter_case = &text::AsciiOnlyMapping();
};

struct CleanedName {
  std::string name;  // the new name; "" when the cleaned stem is empty
  bool year_changed = false;
  bool terms_changed = false;
};

CleanedName CleanName(std::string_view listed, const NameRules& rules);

}  // namespace rules
