#include "platform/windows/key_table.h"

namespace platform {
namespace {

// The three rows of letter keys: with Alt they are commands, not text.
bool IsLetterRow(unsigned scan) {
  return (scan >= 0x10 && scan <= 0x19) || (scan >= 0x1E && scan <= 0x26) ||
         (scan >= 0x2C && scan <= 0x32);
}

// Ctrl, both Shifts, Alt, Caps Lock, Num Lock, Scroll Lock.
bool IsModifier(unsigned scan) {
  switch (scan) {
    case 0x1D: case 0x2A: case 0x36: case 0x38: case 0x3A: case 0x45:
    case 0x46:
      return true;
  }
  return false;
}

}  // namespace

std::optional<std::u16string> AnswerKey(char16_t ch, unsigned scan_code,
                                        bool alt_down) {
  char16_t scan = static_cast<char16_t>(scan_code & 0xFF);
  if (ch != 0) {
    if (alt_down && IsLetterRow(scan)) return std::u16string{u'\0', scan};
    return std::u16string(1, ch);
  }
  if (scan == 1) return std::u16string(1, u'\0');
  if (IsModifier(scan)) return std::nullopt;
  return std::u16string{u'\0', scan};
}

}  // namespace platform
