// Letters beyond ASCII take their case from current Unicode (utf8proc).
#include "platform/platform.h"
#include "text/unicode_case.h"

namespace platform {

const text::CaseMapping& LetterCase() { return text::UnicodeCaseMapping(); }

}  // namespace platform
