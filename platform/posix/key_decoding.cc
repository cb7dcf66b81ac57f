#include "platform/posix/key_decoding.h"

#include "text/utf8.h"

namespace platform::posix {
namespace {

constexpr char kEscByte = '\x1b';
// A control sequence longer than this is garbage: taken as one key.
constexpr std::size_t kLongestSequence = 32;

KeyDecoding Key(std::size_t consumed, char letter = 0) {
  return KeyDecoding{KeyDecoding::kKey, consumed, letter == 'y', letter};
}

KeyDecoding NeedMore() { return KeyDecoding{}; }

bool IsParameterByte(unsigned char b) { return b >= 0x30 && b <= 0x3F; }
bool IsIntermediateByte(unsigned char b) { return b >= 0x20 && b <= 0x2F; }
bool IsFinalByte(unsigned char b) { return b >= 0x40 && b <= 0x7E; }

// bytes[0] is ESC, bytes[1] is '['.
KeyDecoding DecodeCsi(std::string_view bytes, bool at_pause) {
  // The Linux console sends F1..F5 as ESC [ [ A .. ESC [ [ E.
  if (bytes.size() >= 3 && bytes[2] == '[') {
    if (bytes.size() < 4) return at_pause ? Key(3) : NeedMore();
    return Key(4);
  }
  for (std::size_t i = 2; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (IsFinalByte(b)) return Key(i + 1);
    if (IsParameterByte(b) || IsIntermediateByte(b)) continue;
    // A byte that cannot be part of the sequence: the sequence ends before
    // it, broken; the byte is the next key.
    return Key(i);
  }
  if (bytes.size() >= kLongestSequence) return Key(bytes.size());
  return at_pause ? Key(bytes.size()) : NeedMore();
}

// bytes[0] is ESC, bytes[1] is 'O'.
KeyDecoding DecodeSs3(std::string_view bytes, bool at_pause) {
  if (bytes.size() < 3) return at_pause ? Key(2) : NeedMore();  // Alt+O
  const unsigned char b = static_cast<unsigned char>(bytes[2]);
  return IsFinalByte(b) ? Key(3) : Key(2);
}

// A key that is not an escape sequence: ASCII or one UTF-8 character; a
// byte that starts none is a key of its own.
KeyDecoding DecodeCharacter(std::string_view bytes, bool at_pause) {
  const char b = bytes[0];
  if (static_cast<unsigned char>(b) < 0x80) {
    const char lower = b >= 'A' && b <= 'Z' ? static_cast<char>(b + 32) : b;
    const bool answer = lower == 'y' || lower == 'a' || lower == 'q';
    return Key(1, answer ? lower : 0);
  }
  const text::CodePoint step = text::DecodeUtf8(bytes, 0);
  if (step.cut_short && !at_pause) return NeedMore();
  return Key(step.length == 0 ? 1 : step.length);
}

}  // namespace

KeyDecoding DecodeKey(std::string_view bytes, bool at_pause) {
  if (bytes.empty()) return NeedMore();
  if (bytes[0] != kEscByte) return DecodeCharacter(bytes, at_pause);
  if (bytes.size() == 1) return at_pause ? Key(1) : NeedMore();
  if (bytes[1] == '[') return DecodeCsi(bytes, at_pause);
  if (bytes[1] == 'O') return DecodeSs3(bytes, at_pause);
  // ESC and another key: that key with Alt (the Meta prefix).  ESC ESC [ A
  // is Alt+Up; ESC ESC alone is Alt+Esc.
  const KeyDecoding inner = DecodeKey(bytes.substr(1), at_pause);
  if (inner.status == KeyDecoding::kNeedMore) return NeedMore();
  return Key(1 + inner.consumed);
}

}  // namespace platform::posix
