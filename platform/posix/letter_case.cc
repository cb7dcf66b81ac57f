// Letters beyond ASCII take their case from current Unicode (utf8proc).
#include "platform/platform.h"
#include "platform/posix/unicode_case.h"

namespace platform {

const text::CaseMapping& LetterCase() { return posix::UnicodeCaseMapping(); }

}  // namespace platform
