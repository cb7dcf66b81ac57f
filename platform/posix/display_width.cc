// Display width by wcwidth under a C.UTF-8 locale created for the purpose, so
// that the user's locale never changes it.
#include "platform/posix/display_width.h"

#include <wchar.h>

#include "platform/platform.h"
#include "platform/posix/utf8_locale.h"
#include "text/utf8.h"

namespace platform {
namespace posix {
namespace {

int WidthUnder(locale_t locale, char32_t c) {
  const locale_t previous = uselocale(locale);
  const int width = wcwidth(static_cast<wchar_t>(c));
  uselocale(previous);
  return width;
}

// Visits each character of text: its columns, or -1 for CR/LF, -2 for tab.
template <class Visit>
void ForEachCharacter(std::string_view text, Visit&& visit) {
  const locale_t locale = Utf8Locale();
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[at]);
    if (b < 0x80) {  // the common case, without the locale
      visit(b == '\r' || b == '\n' ? -1 : b == '\t' ? -2 : 1);
      ++at;
      continue;
    }
    const text::CodePoint step = text::DecodeUtf8(text, at);
    if (step.length == 0) {
      visit(1);  // a byte that is no character: one column (shown as a box)
      ++at;
      continue;
    }
    int width = 1;
    if (locale) {
      const int w = WidthUnder(locale, step.value);
      width = w < 0 ? 1 : w;
    }
    visit(width);
    at += step.length;
  }
}

}  // namespace

int CodePointColumns(char32_t c) {
  if (c < 0x80) return 1;
  const locale_t locale = Utf8Locale();
  if (!locale) return 1;
  const int w = WidthUnder(locale, c);
  return w < 0 ? 1 : w;
}

long AdvanceColumn(long column, std::string_view text) {
  ForEachCharacter(text, [&](int w) {
    if (w == -1) {
      column = 0;
    } else if (w == -2) {
      column = (column / 8 + 1) * 8;
    } else {
      column += w;
    }
  });
  return column;
}

}  // namespace posix

int DisplayColumns(std::string_view text) {
  long columns = 0;
  posix::ForEachCharacter(text, [&](int w) { columns += w < 0 ? 1 : w; });
  return static_cast<int>(columns);
}

}  // namespace platform
