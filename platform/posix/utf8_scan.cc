#include "platform/posix/utf8_scan.h"

namespace platform::posix {

Utf8Step ScanUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(at);
  Utf8Step step;
  if (lead < 0x80) {
    step.kind = Utf8Step::kValid;
    step.value = lead;
    return step;
  }
  std::size_t length;
  char32_t value;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return step;  // continuation byte, C0, C1, F5..FF
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (at + i >= text.size()) {
      step.kind = Utf8Step::kIncomplete;
      return step;
    }
    const unsigned char b = byte(at + i);
    const unsigned char lo = i == 1 ? low : 0x80;
    const unsigned char hi = i == 1 ? high : 0xBF;
    if (b < lo || b > hi) return step;
    value = (value << 6) | (b & 0x3F);
  }
  step.kind = Utf8Step::kValid;
  step.value = value;
  step.length = length;
  return step;
}

}  // namespace platform::posix
