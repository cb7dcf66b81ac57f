#include "platform/windows/reserved_name.h"

namespace platform::windows {
namespace {

bool SameLetters(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  if (base.size() == 3) {
    for (std::string_view device : {"con", "prn", "aux", "nul"})
      if (SameLetters(base, device)) return true;
    return false;
  }
  if (base.size() < 4) return false;
  const std::string_view stem = base.substr(0, 3);
  if (!SameLetters(stem, "com") && !SameLetters(stem, "lpt")) return false;
  const std::string_view number = base.substr(3);
  if (number.size() == 1) return number[0] >= '0' && number[0] <= '9';
  // Superscript one, two and three.
  return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

Failure ReservedNameFailure(std::string_view name) {
  if (IsDeviceName(name)) return Failure::kDeviceName;
  if (!name.empty() && (name.back() == '.' || name.back() == ' '))
    return Failure::kFinalPeriodOrSpace;
  return Failure::kNone;
}

}  // namespace platform::windows
