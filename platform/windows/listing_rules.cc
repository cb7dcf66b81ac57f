#include "platform/windows/listing_rules.h"

namespace platform {

std::u16string SearchPattern(std::u16string_view operand) {
  std::u16string pattern(operand);
  if (!operand.empty()) {
    char16_t last = operand.back();
    if (last == u':' || last == u'\\' || last == u'/') pattern += u"*.*";
  }
  return pattern;
}

std::u16string_view DirectoryPart(std::u16string_view operand) {
  std::size_t separator = operand.find_last_of(u"\\/");
  if (separator != std::u16string_view::npos)
    return operand.substr(0, separator + 1);
  if (operand.size() >= 2 && operand[1] == u':') return operand.substr(0, 2);
  return {};
}

}  // namespace platform
