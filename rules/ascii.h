// Small ASCII helpers shared by the rules.  They look at bytes only: every
// byte of 0x80 and above is neither a letter nor a digit here, so UTF-8 and
// code-page text pass through them unchanged.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/case.h"

namespace rules::ascii {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

using text::AsciiLower;

// text equals lower, a lower-case ASCII word, up to the case of its letters.
inline bool EqualsFolded(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(text[i]) != lower[i]) return false;
  }
  return true;
}

// text begins with lower, a lower-case ASCII word, up to case.
inline bool StartsFolded(std::string_view text, std::string_view lower) {
  return text.size() >= lower.size() &&
         EqualsFolded(text.substr(0, lower.size()), lower);
}

// Hash and equality of text up to the case of its ASCII letters, for maps
// keyed by views of names: no lower-case copy of each name is kept.
struct FoldedHash {
  std::size_t operator()(std::string_view text) const {
    std::size_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : text) h = (h ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    return h;
  }
};
struct FoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
  }
};

// The word without the "(" and ")" at its ends, as the year rule reads a
// year: "(S01E02)" -> "S01E02".
inline std::string_view TrimBrackets(std::string_view word) {
  std::size_t from = 0;
  while (from < word.size() && (word[from] == '(' || word[from] == ')')) ++from;
  std::size_t end = word.size();
  while (end > from && (word[end - 1] == '(' || word[end - 1] == ')')) --end;
  return word.substr(from, end - from);
}

}  // namespace rules::ascii
