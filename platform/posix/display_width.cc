// Display width by utf8proc's tables, which follow Unicode's and never the
// user's locale.
#include "platform/posix/display_width.h"

#include "platform/posix/file_system.h"

#include <utf8proc.h>

#include "platform/platform.h"
#include "text/utf8.h"

namespace platform {
namespace posix {
namespace {

// Visits each character of text: its columns, or -1 for CR/LF, -2 for tab.
template <class Visit>
void ForEachCharacter(std::string_view text, Visit&& visit) {
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[at]);
    if (b < 0x80) {  // the common case
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
    visit(CodePointColumns(step.value));
    at += step.length;
  }
}

}  // namespace

int CodePointColumns(char32_t c) {
  // Controls (C0, DEL, C1) count one; utf8proc gives them none.
  if (c < 0xA0) return 1;
  const auto code_point = static_cast<utf8proc_int32_t>(c);
  if (!utf8proc_codepoint_valid(code_point)) return 1;
  // Hangul vowels and final consonants join the syllable before them, which
  // the terminal shows in two columns (names written on macOS come so).
  if ((c >= 0x1160 && c <= 0x11FF) || (c >= 0xD7B0 && c <= 0xD7C6) ||
      (c >= 0xD7CB && c <= 0xD7FB)) {
    return 0;
  }
  const int width = utf8proc_charwidth(code_point);
  switch (utf8proc_category(code_point)) {
    case UTF8PROC_CATEGORY_MC:  // a spacing mark takes a column of its own
    case UTF8PROC_CATEGORY_ZL:  // the line and paragraph separators show
    case UTF8PROC_CATEGORY_ZP:  // as a box
      return width > 1 ? width : 1;
    default:
      return width;
  }
}

long AdvanceColumn(long column, std::string_view text, long width) {
  ForEachCharacter(text, [&](int w) {
    if (w == -1) {
      column = 0;
    } else if (w == -2) {
      column = (column / 8 + 1) * 8;
    } else {
      if (w == 2 && width >= 2 && column % width == width - 1) ++column;
      column += w;
    }
  });
  return column;
}

int PosixConsole::DisplayColumns(std::string_view text) {
  long columns = 0;
  ForEachCharacter(text, [&](int w) { columns += w < 0 ? 1 : w; });
  return static_cast<int>(columns);
}

}  // namespace posix
}  // namespace platform
