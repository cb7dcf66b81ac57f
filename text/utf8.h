// Reading and writing single UTF-8 sequences.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// One decoded sequence.  length is 0 when the bytes at the position are not
// a valid sequence (stray continuation byte, overlong form, surrogate, value
// past U+10FFFF, or cut short); such a byte is then taken on its own.
struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;
  // With length 0: the bytes are a well-formed start that the text ends
  // before the sequence is complete (a key still arriving, say).
  bool cut_short = false;
};

CodePoint DecodeUtf8(std::string_view text, std::size_t at);
// Number of bytes that AppendUtf8 writes for c.
std::size_t Utf8Length(char32_t c);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace text
