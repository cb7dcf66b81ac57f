// "--undo": puts back the names of the latest run that is not undone yet,
// each of its renames in reverse order, never over an existing entry, then
// marks that run as undone.
#pragma once

#include "app/run_services.h"

namespace app {

// Returns the exit code: 1 when a rename could not be put back or the
// history cannot be read, else 0.
int RunUndo(bool dry_run, RunServices& services);

}  // namespace app
