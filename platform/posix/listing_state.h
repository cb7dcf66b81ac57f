// The open listing.  Internal to the POSIX layer.
#pragma once

namespace platform::posix {

// Ends the open listing, if any: its remaining names are dropped.
void EndListing();

}  // namespace platform::posix
