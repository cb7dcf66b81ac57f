// The program's text (UTF-8) and the system's (UTF-16), and the bytes of the
// ANSI code page for output that does not go to a console.  Internal to the
// Windows layer.
#pragma once

#include <string>
#include <string_view>

namespace platform::windows {

// UTF-8 to UTF-16; "" for text that is not valid UTF-8 (the program's own
// text always is).
std::u16string ToWide(std::string_view utf8);

struct Utf8Text {
  std::string text;
  // False when the UTF-16 held a lone surrogate: the text then holds U+FFFD
  // in its place and no longer names what the system gave.
  bool exact = true;
};
Utf8Text ToUtf8(std::u16string_view wide);

// UTF-16 to the ANSI code page; a character the code page lacks becomes
// its replacement ("?"), never a look-alike.  Where the ANSI code page is
// UTF-8 (65001), UTF-8.
std::string ToAnsiCodePage(std::u16string_view wide);
// The same for a given code page.
std::string ToCodePage(unsigned code_page, std::u16string_view wide);

// The system's view of UTF-16 text.
inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace platform::windows
