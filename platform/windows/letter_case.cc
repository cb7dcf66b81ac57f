// The case of letters beyond ASCII, by the system's own simple mapping of one
// UTF-16 unit.  The characters of code page 1252 keep the case they have
// always had in the Windows build: none, so that Western names come out as
// they did, byte for byte.
#include <windows.h>

#include "platform/platform.h"

namespace platform {
namespace windows {
namespace {

bool OneUnit(char32_t c) { return c <= 0xFFFF && !(c >= 0xD800 && c <= 0xDFFF); }

bool InCodePage1252(char32_t c) {
  if (c < 0x80) return true;
  const wchar_t unit = static_cast<wchar_t>(c);
  char byte = 0;
  BOOL replaced = FALSE;
  const int made = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &unit, 1,
                                       &byte, 1, nullptr, &replaced);
  return made == 1 && !replaced;
}

// The mapping applies to letters outside code page 1252 only.
bool Mappable(char32_t c) { return OneUnit(c) && !InCodePage1252(c); }

char32_t Mapped(char32_t c, DWORD (*map)(LPWSTR, DWORD)) {
  if (!Mappable(c)) return c;
  WCHAR unit = static_cast<WCHAR>(c);
  map(&unit, 1);
  // A mapping into code page 1252 would give a letter the old case of a
  // Western one: not made.
  return InCodePage1252(unit) ? c : unit;
}

DWORD ToLower(LPWSTR text, DWORD length) { return CharLowerBuffW(text, length); }
DWORD ToUpper(LPWSTR text, DWORD length) { return CharUpperBuffW(text, length); }

char32_t Lower(char32_t c) { return Mapped(c, ToLower); }
char32_t Upper(char32_t c) { return Mapped(c, ToUpper); }

bool IsCased(char32_t c) {
  if (!Mappable(c)) return false;
  const WCHAR unit = static_cast<WCHAR>(c);
  return IsCharUpperW(unit) || IsCharLowerW(unit) || Lower(c) != c ||
         Upper(c) != c;
}

constexpr text::CaseMapping kSystem{Lower, Upper, IsCased};

}  // namespace
}  // namespace windows

const text::CaseMapping& LetterCase() { return windows::kSystem; }

}  // namespace platform
