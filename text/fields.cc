#include "text/fields.h"

namespace text {
namespace {

constexpr std::size_t kEnd = std::string_view::npos;

// Comma mode: where the field that starts at `from` ends (the index of its
// separating comma, or the text's size), and its content.
struct CommaField {
  std::string_view content;
  std::size_t end;
};

CommaField ReadCommaField(std::string_view text, std::size_t from) {
  while (from < text.size() && text[from] == ' ') ++from;
  if (from < text.size() && text[from] == '"') {
    std::size_t close = text.find('"', from + 1);
    if (close == kEnd) return {text.substr(from + 1), text.size()};
    std::size_t comma = text.find(',', close + 1);
    return {text.substr(from + 1, close - from - 1),
            comma == kEnd ? text.size() : comma};
  }
  std::size_t comma = text.find(',', from);
  if (comma == kEnd) comma = text.size();
  std::string_view content = text.substr(from, comma - from);
  std::size_t last = content.find_last_not_of(' ');
  content = last == kEnd ? std::string_view{} : content.substr(0, last + 1);
  return {content, comma};
}

}  // namespace

std::size_t FieldCount(std::string_view text, std::string_view delimiter) {
  std::size_t count = 1;
  if (delimiter.empty()) {
    for (std::size_t from = 0;;) {
      std::size_t end = ReadCommaField(text, from).end;
      if (end >= text.size()) return count;
      ++count;
      from = end + 1;
    }
  }
  for (std::size_t at = text.find(delimiter); at != kEnd;
       at = text.find(delimiter, at + delimiter.size())) {
    ++count;
  }
  return count;
}

std::string_view FieldAt(std::string_view text, std::string_view delimiter,
                         std::size_t n) {
  if (n == 0) return {};
  std::size_t from = 0;
  if (delimiter.empty()) {
    for (std::size_t i = 1;; ++i) {
      CommaField field = ReadCommaField(text, from);
      if (i == n) return field.content;
      if (field.end >= text.size()) return {};
      from = field.end + 1;
    }
  }
  for (std::size_t i = 1; i < n; ++i) {
    std::size_t at = text.find(delimiter, from);
    if (at == kEnd) return {};
    from = at + delimiter.size();
  }
  std::size_t at = text.find(delimiter, from);
  return text.substr(from, at == kEnd ? kEnd : at - from);
}

}  // namespace text
