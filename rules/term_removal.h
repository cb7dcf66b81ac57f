// "/k": removes the built-in release terms from a stem, so that
// "Movie XviD DVDRip" becomes "Movie".  The match is case-blind; each term
// removes at most its first occurrence; the first word is never removed.
// The user's own terms (rules/user_terms.h) are removed after these, by
// RemoveUserTerms, and never change what these rows do.
#pragma once

#include <string>

#include "rules/rule_result.h"

namespace rules {

using TermResult = RuleResult;

TermResult ApplyTermRemoval(std::string stem);

}  // namespace rules
