// Which listed entries a run takes: the same rule on every platform.
#pragma once

#include "app/run_options.h"
#include "platform/file_system.h"

namespace app {

// Hidden and system entries, devices, fifos and sockets, and downloads in
// progress are never taken; files and directories as the selection says.
bool IsSelected(const platform::Entry& entry, Selection selection);

}  // namespace app
