// The main loop: list the matching entries, clean each name, print and
// (after a confirmation where one is due) rename.
#pragma once

#include <string_view>

#include "app/run_options.h"
#include "app/run_services.h"

namespace app {

// Returns the exit code: 1 when a rename failed, else 0.
int RunRename(const RunOptions& options, std::string_view file_spec,
              int highest_year, RunServices& services);

}  // namespace app
