// A dry run's view of the folders: it renames nothing, yet it must show the
// failures the real run would meet.  So it keeps the names the run would
// have freed and taken so far, and asks the system about the rest.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "app/run_services.h"

namespace app {

struct DryRunFolders {
  std::set<std::string> freed, taken;  // directory + name
};

// "" when the real run would rename, else the words of its failure.
std::string PredictRename(RunServices& services, DryRunFolders& folders,
                          std::string_view directory, std::string_view old_name,
                          std::string_view new_name);

// True when an earlier rename of the dry run took the entry away.
bool RenamedAway(const DryRunFolders& folders, std::string_view directory,
                 std::string_view name);

}  // namespace app
