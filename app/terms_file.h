// The user's terms file: the one "--terms" names, else the usual one in the
// user's configuration folder.  A usual file that is missing is no error;
// one that cannot be read, a named file that is missing, or a line that is
// no valid term is said on standard error, naming the file and the line.
#pragma once

#include <optional>
#include <string>

#include "platform/console.h"
#include "platform/user_files.h"
#include "rules/user_terms.h"

namespace app {

// The terms, or none when there is an error (already said).
std::optional<rules::UserTerms> LoadTermsFile(const std::string& named,
                                              platform::UserFiles& files,
                                              platform::Console& console);

}  // namespace app
