// The rename of one entry as the run makes it, on every platform: refused
// names never reach the system, an existing entry is never replaced, and a
// change of letter case that the file system takes for the same name goes
// through a temporary name.
#pragma once

#include <string>
#include <string_view>

#include "app/run_services.h"

namespace app {

// "" when the entry now has its new name, else the words of the failure.
std::string SafeRename(RunServices& services, std::string_view directory,
                       std::string_view old_name, std::string_view new_name);

}  // namespace app
