// UTF-8 <-> UTF-16 for the command tail and the answer keys.  A byte that
// starts no valid UTF-8 sequence becomes the lone surrogate 0xDC00 + byte
// (0xDC80..0xDCFF), and ToAnsi turns such a unit back into the byte, so that
// ToAnsi(ToWide(x)) == x for every byte string x.
#include "platform/platform.h"
#include "text/utf8.h"

namespace platform {

std::u16string ToWide(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const text::CodePoint step = text::DecodeUtf8(text, at);
    if (step.length == 0) {
      out.push_back(static_cast<char16_t>(
          0xDC00 + static_cast<unsigned char>(text[at])));
      ++at;
      continue;
    }
    const char32_t c = step.value;
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
    at += step.length;
  }
  return out;
}

std::string ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      const char32_t c =
          0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      text::AppendUtf8(out, c);
      ++i;
    } else if (u >= 0xDC80 && u <= 0xDCFF) {
      out.push_back(static_cast<char>(u - 0xDC00));  // an escaped byte
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      // A lone surrogate that no byte stands for (only UTF-16 text made
      // elsewhere holds one): written as U+FFFD.
      text::AppendUtf8(out, 0xFFFD);
    } else {
      text::AppendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace platform
