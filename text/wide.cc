#include "text/wide.h"

#include "platform/platform.h"
#include "text/search.h"

namespace text {

std::size_t WideFind(std::u16string_view text, std::u16string_view pattern,
                     std::size_t start) {
  return FindIn(text, pattern, start);
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
