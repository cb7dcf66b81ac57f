// Which listed entries a run takes: the same rule on every platform.
#pragma once

#include "app/run_options.h"
#include "platform/file_system.h"

namespace app {

// Why the run leaves the entry alone by design, or null when it takes it:
// hidden and system entries, devices, fifos and sockets, and downloads in
// progress are never taken; files and directories as the selection says.
const char* WhyLeftAlone(const platform::Entry& entry, Selection selection);

}  // namespace app
