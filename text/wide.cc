#include "text/wide.h"

#include "platform/platform.h"

namespace text {

std::size_t WideFind(std::u16string_view text, std::u16string_view pattern,
                     std::size_t start) {
  if (text.empty()) return 0;
  if (start == 0) start = 1;
  if (pattern.empty()) return start;
  if (start > text.size()) return 0;
  std::size_t at = text.find(pattern, start - 1);
  return at == std::u16string_view::npos ? 0 : at + 1;
}

std::u16string WideLowerForm(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& unit : out) {
    // A surrogate is half a character and has no case of its own.
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    char32_t lower = platform::CodePointLower(unit);
    if (lower <= 0xFFFF && !(lower >= 0xD800 && lower <= 0xDFFF))
      unit = static_cast<char16_t>(lower);
  }
  return out;
}

}  // namespace text
