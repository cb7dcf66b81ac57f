#include "rules/tidy_spaces.h"

namespace rules {

bool IsTidy(std::string_view stem) {
  return stem.empty() || (stem.front() != ' ' && stem.back() != ' ' &&
                          stem.find("  ") == std::string_view::npos);
}

void Tidy(std::string& s) {
  std::size_t out = 0;
  for (char c : s) {
    if (c == ' ' && (out == 0 || s[out - 1] == ' ')) continue;
    s[out++] = c;
  }
  if (out > 0 && s[out - 1] == ' ') --out;
  s.resize(out);
}

}  // namespace rules
