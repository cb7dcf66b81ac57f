#include "text/trim.h"

namespace text {

std::string_view TrimSetLeft(std::string_view text, std::string_view set) {
  std::size_t from = text.find_first_not_of(set);
  return from == std::string_view::npos ? std::string_view{}
                                        : text.substr(from);
}

std::string_view TrimSetRight(std::string_view text, std::string_view set) {
  std::size_t last = text.find_last_not_of(set);
  return last == std::string_view::npos ? std::string_view{}
                                        : text.substr(0, last + 1);
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
