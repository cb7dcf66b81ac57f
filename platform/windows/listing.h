// What the rename asks of the listing.  Internal to the Windows layer.
#pragma once

#include <string_view>

namespace platform {

// True when the last listing of directory delivered name only as a stand-in
// for an entry whose own name the code page cannot write.
bool ListedInexactly(std::string_view directory, std::string_view name);

}  // namespace platform
