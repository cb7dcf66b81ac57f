// What a system error code means for a rename.  Internal to the Windows
// layer; pure.
#pragma once

#include "platform/file_system.h"

namespace platform::windows {

// The layer's own code for a call that failed without saying why; above
// every system code.
inline constexpr int kFailedWithoutCode = 0x20000001;

Outcome OutcomeOf(unsigned long code);

}  // namespace platform::windows
