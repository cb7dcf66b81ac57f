// Paths that the system takes as they are written: the "\\?\" form of a full
// path.  An ordinary path loses a final period or space of each name in it,
// is cut off at 260 units, and may name a device ("NUL", "COM1.txt"); this
// form does none of that, so the entry named is the entry reached.
// Internal to the Windows layer.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace platform::windows {

// The longest path the system takes, in UTF-16 units.
inline constexpr std::size_t kLongestPath = 32767;
// The longest name of one entry, in UTF-16 units.
inline constexpr std::size_t kLongestName = 255;

struct LiteralPath {
  std::u16string path;  // ends in "\"
  Failure failure = Failure::kNone;
};

// The literal form of a folder as the program names it ("" for the current
// folder; relative or absolute, with a drive, a UNC share or already in the
// "\\?\" form).  "." and ".." are resolved as the system resolves them, but
// every name is kept exactly.  kTooLong when the result is over
// kLongestPath, kRefusedName for text that is not UTF-8.
LiteralPath LiteralFolder(std::string_view folder);

// folder + name, checked against kLongestPath.
LiteralPath Join(const LiteralPath& folder, std::string_view name);

}  // namespace platform::windows
