#include "app/plan/pattern.h"

#include "text/utf8.h"

namespace app {
namespace {

unsigned char FoldAscii(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

std::size_t CharacterLength(std::string_view text, std::size_t at) {
  if (static_cast<unsigned char>(text[at]) < 0x80) return 1;
  const std::size_t length = text::DecodeUtf8(text, at).length;
  return length == 0 ? 1 : length;
}

// The classic greedy match with one backtrack point (the last "*"): linear
// in practice, never exponential.
bool MatchPlain(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharacterLength(name, n);
      continue;
    }
    if (p < pattern.size() && FoldAscii(pattern[p]) == FoldAscii(name[n])) {
      ++p;
      ++n;
      continue;
    }
    if (star == std::string_view::npos) return false;
    // Let the last "*" take one more character and try again.
    star_name += CharacterLength(name, star_name);
    p = star + 1;
    n = star_name;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (MatchPlain(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    return MatchPlain(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

bool HasWildcard(std::string_view pattern) {
  return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace app
