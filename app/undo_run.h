// "--undo": puts back the names of the latest run that is not undone yet,
// each of its renames in reverse order, never over an existing entry, then
// marks that run as undone.
#pragma once

#include "app/run_end.h"
#include "platform/console.h"
#include "platform/file_system.h"

namespace app {

// Fails when a rename could not be put back or the history cannot be read.
RunEnd RunUndo(platform::FileSystem& files, platform::Console& console);

}  // namespace app
