#include "text/utf8.h"

namespace text {

CodePoint DecodeUtf8(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t value, min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, min = 0x10000;
  } else {
    return {};
  }
  if (text.size() - at < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return {};
  return {value, length};
}

std::size_t Utf8Length(char32_t c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = DecodeUtf8(text, at).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace text
