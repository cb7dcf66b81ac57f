// The words a failed rename is reported with, for every platform.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace app {

// "a file with that name exists", "not found", ...; for a failure of no
// kind of its own, the system's description, else "error N".
std::string FailureWords(const platform::Outcome& outcome,
                         const std::string& system_description);
// The same, asking the system for its description where one is needed.
std::string FailureWords(const platform::Outcome& outcome);

}  // namespace app
