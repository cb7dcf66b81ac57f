// The simple case mapping of current Unicode, from utf8proc's tables.
// Independent of any locale: a user's settings never change a name.  The
// builds that link utf8proc (Linux) hand it to the rules.
#pragma once

#include "text/case.h"

namespace platform::posix {

const text::CaseMapping& UnicodeCaseMapping();

}  // namespace platform::posix
