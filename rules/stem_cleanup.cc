#include "rules/stem_cleanup.h"

#include "text/search.h"

namespace rules {

NameSplit SplitName(std::string_view name) {
  std::size_t period = text::FindFromEnd(name, ".");
  if (period == 0) return {name, {}};
  return {text::Substring(name, 1, period - 1), text::Substring(name, period)};
}

// One pass instead of a rewrite per step.  Periods, underscores and spaces
// only ask for a space before whatever comes next; the space is written when
// that next byte comes, so runs collapse and the ends stay trimmed.  "(" and
// "[" always want a space in front, ")" and "]" one behind, and no space is
// ever written just inside a bracket.
std::string CleanStem(std::string_view stem) {
  // Each byte writes at most two ("[" -> " ("): one buffer of that size,
  // cut to what was written.
  std::string s(2 * stem.size(), '\0');
  char* const begin = s.data();
  char* out = begin;
  bool space_wanted = false;
  for (char c : stem) {
    switch (c) {
      case '.':
      case '_':
      case ' ':
        space_wanted = true;
        break;
      case '[':
      case '(':
        if (out != begin && out[-1] != '(') *out++ = ' ';
        *out++ = '(';
        space_wanted = false;
        break;
      case ']':
      case ')':
        *out++ = ')';
        space_wanted = true;
        break;
      default:
        if (space_wanted && out != begin && out[-1] != '(') *out++ = ' ';
        *out++ = c;
        space_wanted = false;
    }
  }
  s.resize(static_cast<std::size_t>(out - begin));
  return s;
}

}  // namespace rules
