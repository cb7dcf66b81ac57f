// Plain words for the system's error codes, and the refusals of the layer's
// own.  Internal to the Windows layer; pure.
#pragma once

#include <string_view>

namespace platform {

// The layer's own codes for failures that it finds before calling the system.
// They lie above the system's error codes so that the two never mix.
enum RefusalCode : int {
  kRefusedWildcard = 0x20000001,
  kRefusedTooLong,
  kRefusedEmpty,
  kRefusedSeparator,
  kRefusedOutsideCodePage,
  kFailedWithoutCode,
  kWriteShort,
};

// A short reason for a user; unknown codes get "error <code>".  The text
// lives as long as the process.
const char* FailureReason(unsigned long code);

// The refusal code for a name that RenameEntry must not hand to the system,
// or 0 when the name may go: empty, over 256 UTF-16 units, or holding a
// wildcard or a directory separator.
int RefusedName(std::u16string_view name);

}  // namespace platform
