#include "text/replace.h"

namespace text {

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
  if (pattern.empty() || text.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (;;) {
    std::size_t at = text.find(pattern, from);
    if (at == std::string_view::npos) break;
    out.append(text, from, at - from);
    out.append(replacement);
    from = at + pattern.size();
  }
  out.append(text, from);
  return out;
}

std::string RemoveAll(std::string_view text, std::string_view pattern) {
  return ReplaceAll(text, pattern, {});
}

}  // namespace text
