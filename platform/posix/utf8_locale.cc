#include "platform/posix/utf8_locale.h"

namespace platform::posix {

locale_t Utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return l ? l : newlocale(LC_CTYPE_MASK, "C.utf8", locale_t{});
  }();
  return locale;
}

}  // namespace platform::posix
