#include "text/trim.h"

namespace text {

namespace {

// The sets are a byte or two ("()", " \""): a plain scan of the set beats
// the general search of the standard library.
bool IsMember(char c, std::string_view set) {
  for (char m : set) {
    if (m == c) return true;
  }
  return false;
}

}  // namespace

std::string_view TrimSetLeft(std::string_view text, std::string_view set) {
  std::size_t from = 0;
  while (from < text.size() && IsMember(text[from], set)) ++from;
  return text.substr(from);
}

std::string_view TrimSetRight(std::string_view text, std::string_view set) {
  std::size_t end = text.size();
  while (end > 0 && IsMember(text[end - 1], set)) --end;
  return text.substr(0, end);
}

std::string_view TrimSet(std::string_view text, std::string_view set) {
  return TrimSetRight(TrimSetLeft(text, set), set);
}

std::string_view TrimSpaceLeft(std::string_view text) {
  return TrimSetLeft(text, " ");
}

std::string_view TrimSpaceRight(std::string_view text) {
  return TrimSetRight(text, " ");
}

std::string_view TrimSpaces(std::string_view text) {
  return TrimSet(text, " ");
}

}  // namespace text
