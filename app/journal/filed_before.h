// What the kept journals say was filed into a library by a link or a copy
// and not undone since: a run that leaves the downloads as they are runs
// again after each download, and a file filed before is not filed again,
// wherever a media server has renamed its link or copy since.
#pragma once

#include <vector>

#include "platform/file_system.h"
#include "platform/user_files.h"

namespace app {

// The identities of the downloads filed so, sorted; none where there is no
// history to read.
std::vector<platform::EntryId> FiledBefore(platform::UserFiles& files);

// Whether the identity is among them.
bool WasFiled(const std::vector<platform::EntryId>& filed,
              const platform::EntryId& id);

}  // namespace app
