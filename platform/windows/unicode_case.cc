// Case mapping of single code points by the system's own tables.  Code points
// beyond one UTF-16 unit, and surrogate halves, have no case here.
#include <windows.h>

#include "platform/platform.h"

namespace platform {
namespace {

bool OneUnit(char32_t c) { return c <= 0xFFFF && !(c >= 0xD800 && c <= 0xDFFF); }

char32_t Mapped(char32_t c, DWORD (*map)(LPWSTR, DWORD)) {
  if (!OneUnit(c)) return c;
  WCHAR unit = static_cast<WCHAR>(c);
  map(&unit, 1);
  return unit;
}

DWORD Lower(LPWSTR text, DWORD length) { return CharLowerBuffW(text, length); }
DWORD Upper(LPWSTR text, DWORD length) { return CharUpperBuffW(text, length); }

}  // namespace

char32_t CodePointLower(char32_t c) { return Mapped(c, Lower); }

char32_t CodePointUpper(char32_t c) { return Mapped(c, Upper); }

bool CodePointIsCased(char32_t c) {
  if (!OneUnit(c)) return false;
  WCHAR unit = static_cast<WCHAR>(c);
  return IsCharUpperW(unit) || IsCharLowerW(unit) || Mapped(c, Lower) != c ||
         Mapped(c, Upper) != c;
}

}  // namespace platform
