// What an operand names: the folder to open and the name or pattern in it,
// and the entries of that folder it takes.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/platform.h"

namespace app {

struct OperandParts {
  std::string folder;  // up to and including the last separator; "" = current
  std::string name;    // the last component: a name or a pattern
};

// POSIX: a trailing "/" names the folder itself, as the shell's completion
// writes it ("Movie.2010/" is the entry "Movie.2010"); "/" alone names
// nothing.  Windows: "\" or "/" separate folders, a leading "D:" is a drive,
// and an operand that ends in a separator or the drive lists everything in
// it.
OperandParts SplitOperand(std::string_view operand, platform::PathStyle style);

// True when the entry name is one the name or pattern takes: a pattern as
// WildcardMatch says, a plain name when it is that name.
bool Takes(std::string_view name_or_pattern, std::string_view name);

// The entries an operand names: with a wildcard in its last part, those of
// its folder whose names match; else the one entry it names, when it
// exists.  "." and ".." are never listed.
platform::Listing ListOperand(platform::FileSystem& files,
                              std::string_view operand,
                              platform::PathStyle style);

}  // namespace app
