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
  // A bracket gives two bytes ("[" -> " ("), any other byte at most one: the
  // buffer never grows, and a short stem stays within the string itself.
  std::size_t size = stem.size();
  for (char c : stem) size += c == '[' || c == ']' || c == '(' || c == ')';
  std::string s(size, '\0');
  char* const begin = s.data();
  char* out = begin;
  auto space = [&] {
    if (out != begin && out[-1] != ' ') *out++ = ' ';
  };
  for (char c : stem) {
    switch (c) {
      case '[':
      case '(':
        space();
        *out++ = '(';
        break;
      case ']':
      case ')':
        *out++ = ')';
        space();
        break;
      case '.':
      case '_':
      case ' ':
        space();
        break;
      default:
        *out++ = c;
    }
  }
  if (out != begin && out[-1] == ' ') --out;
  // No two spaces are left, so a space follows "(" or precedes ")" only
  // where the brackets' own spaces meet.
  char* kept = begin;
  for (const char* in = begin; in != out; ++in) {
    if (*in == ' ' && ((kept != begin && kept[-1] == '(') ||
                       (in + 1 != out && in[1] == ')'))) {
      continue;
    }
    *kept++ = *in;
  }
  s.resize(static_cast<std::size_t>(kept - begin));
  return s;
}

}  // namespace rules
