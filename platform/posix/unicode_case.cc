// Case mapping of single code points from the C library's "C.UTF-8" locale,
// created explicitly so that the user's locale never changes a name.  Without
// that locale only ASCII letters have case.
#include <wctype.h>

#include "platform/platform.h"
#include "platform/posix/utf8_locale.h"

namespace platform {
using posix::Utf8Locale;

namespace {

bool IsAscii(char32_t c) { return c < 0x80; }

}  // namespace

char32_t CodePointLower(char32_t c) {
  if (IsAscii(c)) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  locale_t l = Utf8Locale();
  if (!l) return c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), l));
}

char32_t CodePointUpper(char32_t c) {
  if (IsAscii(c)) return c >= 'a' && c <= 'z' ? c - 32 : c;
  locale_t l = Utf8Locale();
  if (!l) return c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), l));
}

bool CodePointIsCased(char32_t c) {
  if (IsAscii(c)) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  locale_t l = Utf8Locale();
  if (!l) return false;
  wint_t w = static_cast<wint_t>(c);
  return iswupper_l(w, l) || iswlower_l(w, l) || towlower_l(w, l) != w ||
         towupper_l(w, l) != w;
}

}  // namespace platform
