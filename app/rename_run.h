// The main loop: for each operand, list the entries it names; for each
// entry, plan its new name, ask where a confirmation is due, apply the
// rename and report how it went.
#pragma once

#include <string>
#include <vector>

#include "app/run_options.h"
#include "app/run_services.h"

namespace app {

// Returns the exit code: 1 when a rename failed, else 0.
int RunRename(const RunOptions& options,
              const std::vector<std::string>& operands, int highest_year,
              RunServices& services);

}  // namespace app
