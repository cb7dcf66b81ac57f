#include "text/fields.h"

namespace text {
namespace {

constexpr std::size_t kEnd = std::string_view::npos;

// Where the field that starts at `from` ends (the index of its separating
// comma, or the text's size), and its content.
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

std::vector<std::string_view> CommaFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t from = 0;;) {
    const CommaField field = ReadCommaField(text, from);
    fields.push_back(field.content);
    if (field.end >= text.size()) return fields;
    from = field.end + 1;
  }
}

}  // namespace text
