#include "text/replace.h"

#include <array>

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

std::string MapCharacterSet(std::string_view text, std::string_view from_set,
                            std::string_view to_set) {
  std::string out(text);
  if (text.empty() || from_set.empty()) return out;
  std::array<int, 256> to{};
  to.fill(-1);
  for (std::size_t i = 0; i < from_set.size() && i < to_set.size(); ++i) {
    unsigned char from = static_cast<unsigned char>(from_set[i]);
    if (to[from] < 0) to[from] = static_cast<unsigned char>(to_set[i]);
  }
  for (char& c : out) {
    int mapped = to[static_cast<unsigned char>(c)];
    if (mapped >= 0) c = static_cast<char>(mapped);
  }
  return out;
}

std::string CollapseSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace text
