// From the bytes a terminal sends to answer keys, as a pure function so that
// unit tests can drive it.  Internal to the POSIX layer.
//
// An answer key is one of:
//   - the UTF-16 units of a character key (y, Y, n, space, an accented
//     letter; 13 for Enter, also when the terminal sends LF; 8 for Backspace
//     sent as DEL; 3 for Ctrl+C; 27 for a lone Esc);
//   - two units, 0 and a code, for a key the terminal sends as an escape
//     sequence: the cursor and editing keys, the function keys, and keys
//     pressed with Alt.  The codes are the PC scan codes that the Windows
//     console reports for the same keys.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::posix {

namespace key_code {
inline constexpr char16_t kEsc = 0x01;  // Alt+Esc
inline constexpr char16_t kShiftTab = 0x0F;
inline constexpr char16_t kAlt = 0x38;  // Alt with a key that has no code
inline constexpr char16_t kF1 = 0x3B;   // F1..F10 are 0x3B..0x44
inline constexpr char16_t kF11 = 0x57;
inline constexpr char16_t kF12 = 0x58;
inline constexpr char16_t kHome = 0x47;
inline constexpr char16_t kUp = 0x48;
inline constexpr char16_t kPageUp = 0x49;
inline constexpr char16_t kLeft = 0x4B;
inline constexpr char16_t kRight = 0x4D;
inline constexpr char16_t kEnd = 0x4F;
inline constexpr char16_t kDown = 0x50;
inline constexpr char16_t kPageDown = 0x51;
inline constexpr char16_t kInsert = 0x52;
inline constexpr char16_t kDelete = 0x53;
inline constexpr char16_t kUnknown = 0x7F;  // a sequence not known here
}  // namespace key_code

struct KeyDecoding {
  enum Status {
    kKey,       // key holds the first key; consumed bytes belong to it
    kNeedMore,  // the bytes may be the start of a longer sequence
  };
  Status status = kNeedMore;
  std::size_t consumed = 0;
  std::u16string key;
};

// Decodes the first key of bytes (not empty).  at_pause says that no more
// bytes came within the short wait after the last one, so that a sequence
// cut short is taken as it stands: ESC alone is the Esc key, ESC and a
// character is Alt with that character.  Bytes after the first key (keys
// typed ahead) are left for the next call.
KeyDecoding DecodeKey(std::string_view bytes, bool at_pause);

// The scan code of a letter key on a US keyboard (a..z, either case), or 0.
char16_t LetterScanCode(char32_t letter);

}  // namespace platform::posix
