// Names that Windows holds only through literal paths: a device's name, and
// a name ending in a period or a space.  Programs that reach files by
// ordinary paths (nearly all) cannot open such an entry, so the program never
// gives one.  Internal to the Windows layer; pure.
#pragma once

#include <string_view>

#include "platform/file_system.h"

namespace platform::windows {

// True for CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 and COM¹-COM³,
// LPT¹-LPT³ in any letter case, alone or before a "." (an extension), with
// or without spaces after them.
bool IsDeviceName(std::string_view name);

// kDeviceName or kFinalPeriodOrSpace when the new name is one of them, else
// kNone.
Failure ReservedNameFailure(std::string_view name);

}  // namespace platform::windows
