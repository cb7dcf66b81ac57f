// The main loop: for each operand, list the entries it names; for each
// entry, plan its new name, ask where a confirmation is due, apply the
// rename and report how it went.
#pragma once

#include <string>
#include <vector>

#include "app/run_options.h"
#include "app/run_services.h"
#include "rules/user_terms.h"

namespace app {

// Returns the exit code: 1 when a rename failed, else 0.  user_terms may be
// null: no terms of the user's.
int RunRename(const RunOptions& options,
              const std::vector<std::string>& operands, int highest_year,
              const rules::UserTerms* user_terms, RunServices& services);

}  // namespace app
