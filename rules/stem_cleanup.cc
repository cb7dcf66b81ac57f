#include "rules/stem_cleanup.h"

#include "text/search.h"

namespace rules {

NameSplit SplitName(std::string_view name) {
  std::size_t period = text::FindFromEnd(name, ".");
  if (period == 0) return {name, {}};
  return {text::Substring(name, 1, period - 1), text::Substring(name, period)};
}

// One pass instead of a rewrite per step: brackets become round with a space
// outside them, periods and underscores become spaces, and spaces are
// collapsed and trimmed as they are written.  A second pass over the result
// then drops the space just inside each bracket.
std::string CleanStem(std::string_view stem) {
  std::string s;
  s.reserve(stem.size() + 8);
  auto space = [&s] {
    if (!s.empty() && s.back() != ' ') s.push_back(' ');
  };
  for (char c : stem) {
    switch (c) {
      case '[':
      case '(':
        space();
        s.push_back('(');
        break;
      case ']':
      case ')':
        s.push_back(')');
        space();
        break;
      case '.':
      case '_':
      case ' ':
        space();
        break;
      default:
        s.push_back(c);
    }
  }
  if (!s.empty() && s.back() == ' ') s.pop_back();
  // No two spaces are left, so a space follows "(" or precedes ")" only
  // where the brackets' own spaces meet.
  std::size_t out = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ' && ((out > 0 && s[out - 1] == '(') ||
                        (i + 1 < s.size() && s[i + 1] == ')'))) {
      continue;
    }
    s[out++] = s[i];
  }
  s.resize(out);
  return s;
}

}  // namespace rules
