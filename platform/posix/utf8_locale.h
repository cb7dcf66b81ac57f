// The C library's "C.UTF-8" locale, created once and explicitly, so that the
// user's locale never changes how a name is cased or measured.  Null when the
// C library lacks it; callers then treat only ASCII as having case and width.
#pragma once

#include <locale.h>

namespace platform::posix {

locale_t Utf8Locale();

}  // namespace platform::posix
