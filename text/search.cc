#include "text/search.h"

namespace text {

std::size_t FindFromEnd(std::string_view text, std::string_view pattern) {
  if (text.empty() || pattern.empty()) return 0;
  std::size_t at = text.rfind(pattern);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view Substring(std::string_view text, std::size_t start,
                           std::size_t count) {
  if (start == 0 || start > text.size()) return {};
  return text.substr(start - 1, count);
}

std::string_view RightPart(std::string_view text, std::size_t n) {
  if (n >= text.size()) return text;
  return text.substr(text.size() - n);
}

}  // namespace text
