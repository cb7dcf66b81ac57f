#include "platform/windows/listing_rules.h"

namespace platform {

unsigned EffectiveMask(unsigned attribute_code) {
  unsigned mask = attribute_code & (kHidden | kSystem | kDirectory | kOnly);
  if ((mask & kOnly) && !(mask & (kHidden | kSystem | kDirectory))) mask = 0;
  return mask;
}

bool Selected(unsigned mask, unsigned attributes, std::u16string_view name) {
  if ((attributes & kHidden) && !(mask & kHidden)) return false;
  if ((attributes & kSystem) && !(mask & kSystem)) return false;
  if ((attributes & kDirectory) && !(mask & kDirectory)) return false;
  if ((mask & kOnly) && !(attributes & mask & (kHidden | kSystem | kDirectory)))
    return false;
  return name != u"." && name != u"..";
}

std::u16string SearchPattern(std::u16string_view spec) {
  std::u16string pattern(spec);
  if (!spec.empty()) {
    char16_t last = spec.back();
    if (last == u':' || last == u'\\' || last == u'/') pattern += u"*.*";
  }
  return pattern;
}

std::u16string_view DirectoryPart(std::u16string_view spec) {
  std::size_t separator = spec.find_last_of(u"\\/");
  if (separator != std::u16string_view::npos)
    return spec.substr(0, separator + 1);
  if (spec.size() >= 2 && spec[1] == u':') return spec.substr(0, 2);
  return {};
}

}  // namespace platform
