// Well-formed UTF-8 as Unicode's table 3-7 writes it out, row by row: the
// fuzz targets' own reference, independent of text::DecodeUtf8.
#pragma once

#include <cstddef>
#include <string_view>

namespace fuzz {

// The length of the well-formed sequence at text[at], or 0 for none.
inline std::size_t PlainUtf8Length(std::string_view text, std::size_t at) {
  static constexpr struct {
    unsigned char lead_min, lead_max, second_min, second_max;
    std::size_t length;
  } kRows[] = {{0x00, 0x7F, 0x00, 0x00, 1}, {0xC2, 0xDF, 0x80, 0xBF, 2},
               {0xE0, 0xE0, 0xA0, 0xBF, 3}, {0xE1, 0xEC, 0x80, 0xBF, 3},
               {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
               {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4},
               {0xF4, 0xF4, 0x80, 0x8F, 4}};
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (const auto& row : kRows) {
    if (byte(at) < row.lead_min || byte(at) > row.lead_max) continue;
    if (text.size() - at < row.length) return 0;
    for (std::size_t i = 1; i < row.length; ++i) {
      const unsigned char min = i == 1 ? row.second_min : 0x80;
      const unsigned char max = i == 1 ? row.second_max : 0xBF;
      if (byte(at + i) < min || byte(at + i) > max) return 0;
    }
    return row.length;
  }
  return 0;
}

inline bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0, length; at < text.size(); at += length) {
    length = PlainUtf8Length(text, at);
    if (length == 0) return false;
  }
  return true;
}

}  // namespace fuzz
