// What a rule that may rewrite the working stem gives back: the stem, and
// whether it changed it (for the confirmations that follow a rule).
#pragma once

#include <string>

namespace rules {

struct RuleResult {
  std::string stem;
  bool changed = false;
};

}  // namespace rules
