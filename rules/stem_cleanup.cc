#include "rules/stem_cleanup.h"

#include "text/replace.h"
#include "text/search.h"
#include "text/trim.h"

namespace rules {

NameSplit SplitName(std::string_view name) {
  std::size_t period = text::FindFromEnd(name, ".");
  if (period == 0) return {name, {}};
  return {text::Substring(name, 1, period - 1), text::Substring(name, period)};
}

std::string CleanStem(std::string_view stem) {
  std::string s = text::MapCharacterSet(stem, "[]", "()");
  s = text::ReplaceAll(s, "(", " (");
  s = text::ReplaceAll(s, ")", ") ");
  s = text::MapCharacterSet(s, "._", "  ");
  s = text::CollapseSpaces(s);
  s = std::string(text::TrimSpaces(s));
  // No two spaces are left, so one pass takes every space inside a bracket.
  s = text::ReplaceAll(s, "( ", "(");
  return text::ReplaceAll(s, " )", ")");
}

}  // namespace rules
