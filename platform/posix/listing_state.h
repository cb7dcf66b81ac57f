// The open listing.  Internal to the POSIX layer.
#pragma once

#include <string_view>

namespace platform::posix {

// Ends the open listing, if any: its remaining names are dropped.
void EndListing();

// The open listing's directory, kept open for the renames in it, when the
// listing's directory part is `directory`; else -1.
int ListedDirectoryFd(std::string_view directory);

}  // namespace platform::posix
