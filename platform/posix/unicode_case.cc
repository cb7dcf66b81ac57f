#include "platform/posix/unicode_case.h"

#include <utf8proc.h>

namespace platform::posix {
namespace {

char32_t Lower(char32_t c) {
  return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
}

char32_t Upper(char32_t c) {
  return static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
}

// An upper-, lower- or title-case letter, or one with a case counterpart
// ("ß" counts).
bool IsCased(char32_t c) {
  const auto category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
  return category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LL ||
         category == UTF8PROC_CATEGORY_LT || Lower(c) != c || Upper(c) != c;
}

constexpr text::CaseMapping kUnicode{Lower, Upper, IsCased};

}  // namespace

const text::CaseMapping& UnicodeCaseMapping() { return kUnicode; }

}  // namespace platform::posix
