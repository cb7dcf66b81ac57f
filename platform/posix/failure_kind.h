// What an errno value means for a rename.  Internal to the POSIX layer.
#pragma once

#include "platform/platform.h"

namespace platform::posix {

Outcome OutcomeOf(int error);

}  // namespace platform::posix
