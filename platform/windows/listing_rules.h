// The pure rules of the listing: the search pattern and the folder part of
// an operand.  Internal to the Windows layer.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The pattern handed to the system: an operand naming a drive or a folder
// ("D:", "sub\", "sub/") lists everything in it.
std::u16string SearchPattern(std::u16string_view operand);
// The folder part of an operand, separator included: up to the last "\" or
// "/", else a leading drive "D:", else "".
std::u16string_view DirectoryPart(std::u16string_view operand);

}  // namespace platform
