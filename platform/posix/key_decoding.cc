#include "platform/posix/key_decoding.h"

#include "text/utf8.h"

namespace platform::posix {
namespace {

constexpr char kEscByte = '\x1b';
// A control sequence longer than this is garbage: taken as one unknown key.
constexpr std::size_t kLongestSequence = 32;

KeyDecoding Key(std::size_t consumed, std::u16string key) {
  KeyDecoding d;
  d.status = KeyDecoding::kKey;
  d.consumed = consumed;
  d.key = std::move(key);
  return d;
}

KeyDecoding CodedKey(std::size_t consumed, char16_t code) {
  return Key(consumed, std::u16string{u'\0', code});
}

KeyDecoding NeedMore() { return KeyDecoding{}; }

bool IsParameterByte(unsigned char b) { return b >= 0x30 && b <= 0x3F; }
bool IsIntermediateByte(unsigned char b) { return b >= 0x20 && b <= 0x2F; }
bool IsFinalByte(unsigned char b) { return b >= 0x40 && b <= 0x7E; }

// The code of a CSI or SS3 sequence by its final byte (A, B, ..., ~) and its
// first numeric parameter.
char16_t SequenceCode(char final, int number) {
  switch (final) {
    case 'A': return key_code::kUp;
    case 'B': return key_code::kDown;
    case 'C': return key_code::kRight;
    case 'D': return key_code::kLeft;
    case 'H': return key_code::kHome;
    case 'F': return key_code::kEnd;
    case 'P': return key_code::kF1;
    case 'Q': return key_code::kF1 + 1;
    case 'R': return key_code::kF1 + 2;
    case 'S': return key_code::kF1 + 3;
    case 'Z': return key_code::kShiftTab;
    case '~':
      switch (number) {
        case 1: case 7: return key_code::kHome;
        case 2: return key_code::kInsert;
        case 3: return key_code::kDelete;
        case 4: case 8: return key_code::kEnd;
        case 5: return key_code::kPageUp;
        case 6: return key_code::kPageDown;
        case 11: case 12: case 13: case 14: case 15:
          return static_cast<char16_t>(key_code::kF1 + (number - 11));
        case 17: case 18: case 19: case 20: case 21:
          return static_cast<char16_t>(key_code::kF1 + 5 + (number - 17));
        case 23: return key_code::kF11;
        case 24: return key_code::kF12;
        default: return key_code::kUnknown;
      }
    default:
      return key_code::kUnknown;
  }
}

// bytes[0] is ESC, bytes[1] is '['.
KeyDecoding DecodeCsi(std::string_view bytes, bool at_pause) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
  };
  // The Linux console sends F1..F5 as ESC [ [ A .. ESC [ [ E.
  if (bytes.size() >= 3 && bytes[2] == '[') {
    if (bytes.size() < 4) {
      return at_pause ? CodedKey(3, key_code::kUnknown) : NeedMore();
    }
    const char c = bytes[3];
    return CodedKey(4, c >= 'A' && c <= 'E'
                           ? static_cast<char16_t>(key_code::kF1 + (c - 'A'))
                           : key_code::kUnknown);
  }
  int number = -1;  // the first parameter, -1 when there is none
  bool in_first_parameter = true;
  for (std::size_t i = 2; i < bytes.size(); ++i) {
    const unsigned char b = byte(i);
    if (IsFinalByte(b)) {
      return CodedKey(i + 1, SequenceCode(static_cast<char>(b), number));
    }
    if (IsParameterByte(b)) {
      if (b >= '0' && b <= '9' && in_first_parameter) {
        number = (number < 0 ? 0 : number * 10) + (b - '0');
        if (number > 9999) number = 9999;
      } else {
        in_first_parameter = false;
      }
      continue;
    }
    if (IsIntermediateByte(b)) {
      in_first_parameter = false;
      continue;
    }
    // A byte that cannot be part of the sequence: the sequence ends before
    // it, broken; the byte is the next key.
    return CodedKey(i, key_code::kUnknown);
  }
  if (bytes.size() >= kLongestSequence) {
    return CodedKey(bytes.size(), key_code::kUnknown);
  }
  if (!at_pause) return NeedMore();
  if (bytes.size() == 2) return CodedKey(2, key_code::kAlt);  // Alt+[
  return CodedKey(bytes.size(), key_code::kUnknown);
}

// bytes[0] is ESC, bytes[1] is 'O'.
KeyDecoding DecodeSs3(std::string_view bytes, bool at_pause) {
  if (bytes.size() < 3) {
    return at_pause ? CodedKey(2, LetterScanCode('O')) : NeedMore();  // Alt+O
  }
  const unsigned char b = static_cast<unsigned char>(bytes[2]);
  if (b == 'M') return Key(3, u"\r");  // Enter of the keypad
  if (!IsFinalByte(b)) return CodedKey(2, LetterScanCode('O'));
  return CodedKey(3, SequenceCode(static_cast<char>(b), -1));
}

// A key that is not an escape sequence: ASCII or one UTF-8 character.
KeyDecoding DecodeCharacter(std::string_view bytes, bool at_pause) {
  const unsigned char b = static_cast<unsigned char>(bytes[0]);
  if (b < 0x80) {
    if (b == '\n') return Key(1, u"\r");   // Enter, with ICRNL in force
    if (b == 0x7F) return Key(1, u"\b");   // Backspace
    return Key(1, std::u16string(1, static_cast<char16_t>(b)));
  }
  const text::CodePoint step = text::DecodeUtf8(bytes, 0);
  if (step.cut_short && !at_pause) return NeedMore();
  if (step.length == 0) {
    // A byte that is no character: its escape unit, as ToWide makes it.
    return Key(1, std::u16string(1, static_cast<char16_t>(0xDC00 + b)));
  }
  const char32_t c = step.value;
  if (c < 0x10000) return Key(step.length, std::u16string(1, char16_t(c)));
  return Key(step.length,
             std::u16string{static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                            static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))});
}

}  // namespace

char16_t LetterScanCode(char32_t letter) {
  // The three rows of letter keys, as the keyboard's scan codes run.
  static constexpr char16_t kCodes[26] = {
      0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,  // a..i
      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,  // j..r
      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};       // s..z
  if (letter >= 'A' && letter <= 'Z') letter += 'a' - 'A';
  if (letter >= 'a' && letter <= 'z') return kCodes[letter - 'a'];
  return 0;
}

KeyDecoding DecodeKey(std::string_view bytes, bool at_pause) {
  if (bytes.empty()) return NeedMore();
  if (bytes[0] != kEscByte) return DecodeCharacter(bytes, at_pause);
  if (bytes.size() == 1) {
    return at_pause ? Key(1, u"\x1b") : NeedMore();
  }
  if (bytes[1] == '[') return DecodeCsi(bytes, at_pause);
  if (bytes[1] == 'O') return DecodeSs3(bytes, at_pause);
  // ESC and another key: that key with Alt (the Meta prefix).  ESC ESC [ A
  // is Alt+Up; ESC ESC alone is Alt+Esc.
  const KeyDecoding inner = DecodeKey(bytes.substr(1), at_pause);
  if (inner.status == KeyDecoding::kNeedMore) return NeedMore();
  const std::size_t consumed = 1 + inner.consumed;
  if (inner.key.size() == 2 && inner.key[0] == u'\0') {
    return CodedKey(consumed, inner.key[1]);
  }
  if (inner.key == u"\x1b") return CodedKey(consumed, key_code::kEsc);
  const char16_t letter_code =
      inner.key.size() == 1 ? LetterScanCode(inner.key[0]) : 0;
  return CodedKey(consumed, letter_code ? letter_code : key_code::kAlt);
}

}  // namespace platform::posix
